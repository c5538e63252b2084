// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DateField.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>

DateField::DateField(QWidget* parent) : QLineEdit(parent), m_bookingYear(QDate::currentDate().year()) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QAction* open = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    open->setToolTip(QStringLiteral("Kalender öffnen (Alt+Pfeil nach unten)"));
    connect(open, &QAction::triggered, this, &DateField::showCalendar);
    connect(this, &QLineEdit::textChanged, this, &DateField::readText);

    m_calendar = new QCalendarWidget(this);
    m_calendar->setWindowFlags(Qt::Popup);
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setGridVisible(true);
    m_calendar->hide();
    connect(m_calendar, &QCalendarWidget::activated, this, [this](const QDate& date) {
        m_calendar->hide();
        setDate(date);
        setFocus(Qt::PopupFocusReason);
        selectAll();
    });
    connect(m_calendar, &QCalendarWidget::clicked, this, [this](const QDate& date) {
        m_calendar->hide();
        setDate(date);
        setFocus(Qt::PopupFocusReason);
    });
}

void DateField::setDate(const QDate& date) {
    if (!date.isValid()) return;
    const bool changed = date != m_date;
    m_date = date;
    showDate();
    if (changed) emit dateChanged(m_date);
}

void DateField::readText() {
    if (m_showing) return;
    const DateInput::Result read = typedDate();
    if (!read.ok() || read.date == m_date) return;
    m_date = read.date;
    emit dateChanged(m_date);
}

void DateField::showDate() {
    m_showing = true;
    setText(DateInput::format(m_date));
    m_showing = false;
}

void DateField::showCalendar() {
    if (m_date.isValid()) m_calendar->setSelectedDate(m_date);
    m_calendar->adjustSize();
    m_calendar->move(mapToGlobal(QPoint(0, height())));
    m_calendar->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateField::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier) ||
        (event->key() == Qt::Key_F4 && plain)) {
        showCalendar();
        event->accept();
        return;
    }
    if (plain && m_date.isValid()) {
        QDate moved;
        switch (event->key()) {
            case Qt::Key_Up:
                moved = m_date.addDays(1);
                break;
            case Qt::Key_Down:
                moved = m_date.addDays(-1);
                break;
            case Qt::Key_PageUp:
                moved = m_date.addMonths(1);
                break;
            case Qt::Key_PageDown:
                moved = m_date.addMonths(-1);
                break;
            default:
                break;
        }
        if (moved.isValid()) {
            // From the date shown, also while the text holds something unreadable.
            setDate(moved);
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DateField::focusOutEvent(QFocusEvent* event) {
    // A readable date is shown in the one display form; anything else stays for correction.
    const DateInput::Result read = typedDate();
    if (read.ok() && read.date == m_date && event->reason() != Qt::PopupFocusReason) showDate();
    QLineEdit::focusOutEvent(event);
}
