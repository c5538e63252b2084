// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class AmountField;
class QComboBox;
class QSpinBox;

// Couples a number field ("Konto-Nr", "MwSt als Zahl") with the selection list it is a short way into.
//
// Typing a number selects the entry with that number (through `selectByNumber`, the window's change
// handler) - but only when the number really changed: Enter, a spin box re-reading its unchanged text
// or focus moving on leave the list as it is, so a choice made in the list is what gets posted. A
// choice made in the list (and every rebuild of it, through followList) shows that entry's number in
// the field, so the field and the list never disagree on screen.
class NumberFieldLink : public QObject {
    Q_OBJECT
public:
    // The number the list entry at `row` stands for; none for no selection.
    using NumberOfRow = std::function<std::optional<double>(int row)>;

    NumberFieldLink(QSpinBox* field, QComboBox* list, std::function<void()> selectByNumber, NumberOfRow numberOfRow);
    NumberFieldLink(AmountField* field, QComboBox* list, std::function<void()> selectByNumber, NumberOfRow numberOfRow);

    // Shows the number of the entry the list has selected now (no selection: the field stays).
    void followList();

private:
    NumberFieldLink(QComboBox* list, std::function<void()> selectByNumber, NumberOfRow numberOfRow, double shown);
    void fieldChanged(double value);
    void showNumber(double value);

    QPointer<QSpinBox> m_spin;
    QPointer<AmountField> m_amount;
    QPointer<QComboBox> m_list;
    std::function<void()> m_selectByNumber;
    NumberOfRow m_numberOfRow;
    double m_current = 0.0;  // the number the field showed after its last change
};
