// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QLineEdit>

#include "journal/DateInput.h"

class QCalendarWidget;

// The booking date: a text field that takes the date as it is typed ("16.04.2026", "16.4.26",
// "16042026", see DateInput), shows it as dd.MM.yyyy and is left with one Tab like every other field.
// Up and Down move the date by a day, Page Up and Page Down by a month; the button at its right edge,
// Alt+Down and F4 open a calendar.
//
// date() is the last date read from the text. A text that is no date stays as typed, so that the user
// can correct it; whoever takes the date for good asks typedDate() and shows message() when it is none.
class DateField : public QLineEdit {
    Q_OBJECT
public:
    explicit DateField(QWidget* parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate& date);
    // Two-digit years are read in this year's century.
    void setBookingYear(int year) { m_bookingYear = year; }
    int bookingYear() const { return m_bookingYear; }
    QString displayFormat() const { return QString::fromLatin1(DateInput::displayFormat); }

    DateInput::Result typedDate() const { return DateInput::parse(text(), m_bookingYear); }
    // The German message for the text as it stands (empty when it is a date).
    QString message() const { return DateInput::message(text(), typedDate().problem); }

    void showCalendar();
    QCalendarWidget* calendar() const { return m_calendar; }

signals:
    void dateChanged(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void readText();
    void showDate();

    QDate m_date;
    int m_bookingYear;
    bool m_showing = false;
    QCalendarWidget* m_calendar = nullptr;
};
