// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

class DBGrid;
class DBNavigator;
class DbfTable;
class QPushButton;
class TableModel;

// "Einstellungen bearbeiten...": the generic editor of one master table, bound to the main window's
// open table while shown. Closing it (OK, Escape or the close box) posts a change still pending in its
// grid; when that post fails the error is shown and the dialog stays open, so no edit is lost.
class TEinstellungenForm : public QDialog {
    Q_OBJECT
public:
    explicit TEinstellungenForm(QWidget* parent = nullptr);
    ~TEinstellungenForm() override;

    void bind(DbfTable* table);
    void unbind();
    DbfTable* table() const;

    void done(int result) override;

    QPushButton* OKBtn = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    DBGrid* DBGrid1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<TableModel> m_model;
};
