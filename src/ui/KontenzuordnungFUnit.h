// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <vector>

#include "tax/Kontenzuordnung.h"
#include "tax/TaxForm.h"

class DbfTable;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

// "Kontenzuordnung": every income and expense account with its tax treatment and its Anlage EÜR line as
// two choice lists; a treatment whose tax the client owes (§ 13b UStG) is offered once per rate of the tax owed. Works with the keyboard alone (Tab from list to list, arrow keys choose); every change
// is written at once as a whole new table file, and a change that cannot be written is taken back and said.
class TKontenzuordnungForm : public QDialog {
    Q_OBJECT
public:
    TKontenzuordnungForm(DbfTable& einnahmeKonten, DbfTable& ausgabeKonten, DbfTable& zuordnung, TaxForm ustva,
                         TaxForm euer, QWidget* parent = nullptr);

    struct Row {
        KontoSeite seite;
        int nr = 0;
        QString name;
        QComboBox* UstEd = nullptr;
        QComboBox* EuerEd = nullptr;
    };
    const std::vector<Row>& rows() const { return m_rows; }
    QLabel* StatusLabel = nullptr;
    QPushButton* OKBtn = nullptr;

private:
    void addAccounts(DbfTable& accounts, KontoSeite seite);
    void show(Row& row, const Zuordnung& z);
    int addOwedChoice(QComboBox* box, UstArt art, double rate);
    void changed(Row& row);

    DbfTable& m_table;
    TaxForm m_ustva;
    TaxForm m_euer;
    Kontenzuordnung m_zuordnung;
    std::vector<Row> m_rows;
    bool m_filling = false;
    QGridLayout* m_grid = nullptr;
    QWidget* m_gridParent = nullptr;
};
