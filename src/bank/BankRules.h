// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "storage/FieldDef.h"

struct BankMovement;

// One assignment rule: "if the counterparty and the purpose contain ... then book on account ... at rate
// ... with the text ...". An empty pattern matches everything; both patterns must match. The account
// number is taken from the income accounts for money in and from the expense accounts for money out.
struct BankRule {
    QString gegenseite;  // part of the counterparty's name, letter case ignored
    QString verwendung;  // part of the remittance text, letter case ignored
    int konto = 0;
    double mwst = 0;
    QString buchtext;  // empty: the text made from the movement
    bool neutral = false;

    bool matches(const BankMovement& movement) const;
    // "Gegenseite „Telekom“, Verwendung „Rechnung“": what the review window shows for the rule.
    QString description() const;
    bool operator==(const BankRule&) const = default;
};

// The rules of a client and booking year, in the table bankregeln_<client>_<year>.dbf beside the other
// master tables (the year transfer carries it with the account tables). The rules are applied in the
// table's row order; the table is always written whole into a temporary file that then replaces the old
// one, so a failed save leaves the previous rules.
namespace BankRules {

inline constexpr const char* baseName = "bankregeln";

std::vector<FieldDef> schema();
QString fileName(const QString& folder, int mandantnr, int year);

// The rules of the file; none when the file does not exist. Throws the table layer's error (German) when
// the file exists but cannot be read.
std::vector<BankRule> load(const QString& fileName);
// Writes the rules. Throws FileIoError or ConversionError (a text the table cannot hold) with a German
// message; the previous file then stays as it was.
void save(const QString& fileName, const std::vector<BankRule>& rules);

// Index of the first rule that matches, -1 when none does.
int firstMatch(const std::vector<BankRule>& rules, const BankMovement& movement);

// The same for many movements: the patterns are folded to lower case once, each movement once.
class Matcher {
public:
    explicit Matcher(const std::vector<BankRule>& rules);
    int firstMatch(const BankMovement& movement) const;

private:
    std::vector<std::pair<QString, QString>> m_patterns;  // counterparty, purpose; case folded
};

}  // namespace BankRules
