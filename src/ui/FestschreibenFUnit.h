// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDialog>
#include <QList>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

// "Zeitraum festschreiben": the date up to which the bookings are closed, chosen among the month ends
// still open or typed as a German date. OK keeps the dialog open while the date is refused (the check
// says why), so the typed text is never lost.
class TFestschreibenForm : public QDialog {
    Q_OBJECT
public:
    // Returns the German reason a date is refused, empty when it may be taken.
    using DateCheck = std::function<QString(const QDate&)>;

    explicit TFestschreibenForm(QWidget* parent = nullptr);

    // Fills the list and the line about the current closing (invalid: nothing closed yet).
    void setup(int bookingYear, const QDate& closedUntil, const QList<QDate>& offered, DateCheck check);
    QDate chosenDate() const { return m_chosen; }

    QLabel* StandLabel = nullptr;
    QComboBox* BisdatumEd = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* AbbrechenBtn = nullptr;

    void accept() override;

private:
    int m_year = 0;
    DateCheck m_check;
    QDate m_chosen;
};
