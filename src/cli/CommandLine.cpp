// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include <QLocale>
#include <QSet>

namespace CommandLine {

namespace {

const QString kHelpHint = QStringLiteral("\nAufruf und Optionen: quorvel --help");

[[noreturn]] void usage(const QString& text) {
    throw UsageError(text + kHelpHint);
}

// A whole number in decimal, within [from, to]; the option's name goes into the message.
int wholeNumber(const QString& option, const QString& text, int from, int to) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < from || value > to)
        usage(QStringLiteral("Der Wert \"%1\" der Option %2 ist keine ganze Zahl von %3 bis %4.")
                  .arg(text, option)
                  .arg(from)
                  .arg(to));
    return value;
}

bool yesNo(const QString& option, const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("ja")) return true;
    if (t == QLatin1String("nein")) return false;
    usage(QStringLiteral("Der Wert \"%1\" der Option %2 ist weder \"ja\" noch \"nein\".").arg(text, option));
}

// The options each command takes.
QSet<QString> optionsOf(Command command) {
    const QSet<QString> common{QStringLiteral("--mandant"), QStringLiteral("--jahr"), QStringLiteral("--datenordner")};
    switch (command) {
        case Command::Report:
            return common + QSet<QString>{QStringLiteral("--zeitraum"), QStringLiteral("--nummer"),
                                          QStringLiteral("--bericht"), QStringLiteral("--konto"),
                                          QStringLiteral("--pdf"), QStringLiteral("--csv"),
                                          QStringLiteral("--filter"), QStringLiteral("--waehrung")};
        case Command::ExportCsv:
            return common + QSet<QString>{QStringLiteral("--zeitraum"), QStringLiteral("--nummer"),
                                          QStringLiteral("--datei"), QStringLiteral("--filter")};
        case Command::ImportCsv:
            return common + QSet<QString>{QStringLiteral("--datei"), QStringLiteral("--erste-zeile-ueberlesen")};
        default:
            return {};
    }
}

QString commandName(Command command) {
    switch (command) {
        case Command::Report:
            return QStringLiteral("report");
        case Command::ExportCsv:
            return QStringLiteral("export-csv");
        case Command::ImportCsv:
            return QStringLiteral("import-csv");
        default:
            return {};
    }
}

// The options of a tax form: a file to write, a period the tax office takes, no text filter.
void checkTaxForm(const Request& r, const QSet<QString>& seen) {
    const QString name = QLatin1String(r.bericht->name);
    if (seen.contains(QStringLiteral("--pdf")) && r.pdf.trimmed().isEmpty())
        usage(QStringLiteral("Der Option --pdf fehlt die Zieldatei."));
    if (seen.contains(QStringLiteral("--csv")) && r.csv.trimmed().isEmpty())
        usage(QStringLiteral("Der Option --csv fehlt die Zieldatei."));
    if (r.pdf.trimmed().isEmpty() && r.csv.trimmed().isEmpty())
        usage(QStringLiteral("Zum Formular %1 fehlt --pdf oder --csv mit der Zieldatei (oder beide).").arg(name));
    if (seen.contains(QStringLiteral("--filter")))
        usage(QStringLiteral("Das Formular %1 zählt alle Buchungen des Zeitraums; der Journalfilter --filter gilt "
                             "dafür nicht.")
                  .arg(name));
    if (r.bericht->tax == TaxKind::Euer && r.zeitraum != PeriodItem::GanzesJahr)
        usage(QStringLiteral("Die Anlage EÜR gilt dem ganzen Jahr; lassen Sie --zeitraum weg oder geben Sie "
                             "--zeitraum Jahr an."));
    if (r.bericht->tax == TaxKind::Ustva &&
        (r.zeitraum == PeriodItem::N1Halbjahr || r.zeitraum == PeriodItem::N2Halbjahr))
        usage(QStringLiteral("Das Finanzamt nimmt Voranmeldungen nur für einen Monat oder ein Vierteljahr an; "
                             "geben Sie --zeitraum Monat, Quartal oder Jahr an."));
}

}  // namespace

const std::vector<ReportKind>& reportKinds() {
    static const std::vector<ReportKind> kinds{
        {"gesamtergebnis", "Gesamtergebnis", true},
        {"ausgabenliste", "Ausgabenliste", false, ListKind::Ausgabenliste},
        {"einnahmenliste", "Einnahmenliste", false, ListKind::Einnahmenliste},
        {"ausgabenkonto", "Ausgabenkonto (einzeln)", false, ListKind::Ausgabenkonto},
        {"einnahmekonto", "Einnahmekonto (einzeln)", false, ListKind::Einnahmekonto},
        {"sammelkonto", "Sammelkonto (einzeln)", false, ListKind::Sammelkonto},
        {"sammelkonto-anfangsbestand", "Sammelkonto mit Anfangsbestand (einzeln)", false, ListKind::Sammelkonto, true},
        {"kostenstelle", "Kostenstelle (einzeln)", false, ListKind::Kostenstelle},
        {"kostenstelle-anfangsbestand", "Kostenstelle mit Anfangsbestand (einzeln)", false, ListKind::Kostenstelle,
         true},
        {"alle-buchungen", "Liste aller Buchungen", false, ListKind::AlleBuchungen},
        {"alle-buchungen-anfangsbestand", "Liste aller Buchungen mit Anfangsbestand", false, ListKind::AlleBuchungen,
         true},
        {"ustva", "Umsatzsteuer-Voranmeldung (Monat, Quartal oder Jahr; PDF und/oder CSV)", false,
         ListKind::AlleBuchungen, false, TaxKind::Ustva},
        {"anlage-euer", "Anlage EÜR des Jahres (PDF und/oder CSV)", false, ListKind::AlleBuchungen, false,
         TaxKind::Euer},
    };
    return kinds;
}

bool needsAccount(const ReportKind& kind) {
    return kind.tax == TaxKind::None && !kind.total && ListReport::accountField(kind.list) >= 0;
}

bool isCommand(const QStringList& args) {
    if (args.isEmpty()) return false;
    const QString& first = args.constFirst();
    // Single-dash arguments other than -h and -v belong to Qt (-platform, -style, ...).
    if (first.startsWith(QLatin1Char('-')) && !first.startsWith(QLatin1String("--")))
        return first == QLatin1String("-h") || first == QLatin1String("-v");
    return true;
}

PeriodItem periodOf(const QString& zeitraum, const std::optional<int>& nummer) {
    const QString z = zeitraum.trimmed().toLower();
    struct Kind {
        const char* name;
        PeriodItem first;
        int count;
    };
    static const Kind kinds[] = {{"jahr", PeriodItem::GanzesJahr, 1},
                                 {"halbjahr", PeriodItem::N1Halbjahr, 2},
                                 {"quartal", PeriodItem::N1Quartal, 4},
                                 {"monat", PeriodItem::Januar, 12}};
    for (const Kind& k : kinds) {
        if (z != QLatin1String(k.name)) continue;
        if (k.count == 1) {
            if (nummer) usage(QStringLiteral("Zum Zeitraum \"Jahr\" gehört keine Option --nummer."));
            return k.first;
        }
        if (!nummer)
            usage(QStringLiteral("Zum Zeitraum \"%1\" fehlt die Option --nummer (1 bis %2).").arg(zeitraum, QString::number(k.count)));
        if (*nummer < 1 || *nummer > k.count)
            usage(QStringLiteral("Die Nummer %1 passt nicht zum Zeitraum \"%2\" (1 bis %3).")
                      .arg(*nummer)
                      .arg(zeitraum)
                      .arg(k.count));
        return static_cast<PeriodItem>(static_cast<int>(k.first) + *nummer - 1);
    }
    usage(QStringLiteral("Unbekannter Zeitraum \"%1\". Möglich sind Jahr, Halbjahr, Quartal und Monat.").arg(zeitraum));
}

Request parse(const QStringList& args, int currentYear) {
    Request r;
    r.jahr = currentYear;
    if (args.isEmpty()) return r;

    const QString& first = args.constFirst();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("hilfe")) {
        if (args.size() > 1) usage(QStringLiteral("--help steht allein."));
        r.command = Command::Help;
        return r;
    }
    if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
        if (args.size() > 1) usage(QStringLiteral("--version steht allein."));
        r.command = Command::Version;
        return r;
    }
    if (first == QLatin1String("report"))
        r.command = Command::Report;
    else if (first == QLatin1String("export-csv"))
        r.command = Command::ExportCsv;
    else if (first == QLatin1String("import-csv"))
        r.command = Command::ImportCsv;
    else
        usage(QStringLiteral("Unbekannter Befehl \"%1\". Befehle: report, export-csv, import-csv.").arg(first));

    const QSet<QString> allowed = optionsOf(r.command);
    QSet<QString> seen;
    std::optional<int> nummer;
    QString zeitraum;
    for (qsizetype i = 1; i < args.size(); ++i) {
        QString option = args[i];
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = option.indexOf(QLatin1Char('=')); option.startsWith(QLatin1String("--")) && eq > 0) {
            value = option.mid(eq + 1);
            option.truncate(eq);
            hasValue = true;
        }
        if (!option.startsWith(QLatin1String("--")))
            usage(QStringLiteral("Unerwartetes Argument \"%1\": Optionen beginnen mit --.").arg(option));
        if (!allowed.contains(option))
            usage(QStringLiteral("Der Befehl %1 kennt die Option %2 nicht.").arg(commandName(r.command), option));
        if (seen.contains(option)) usage(QStringLiteral("Die Option %1 steht zweimal.").arg(option));
        seen.insert(option);
        if (!hasValue) {
            if (i + 1 >= args.size()) usage(QStringLiteral("Der Option %1 fehlt ihr Wert.").arg(option));
            value = args[++i];
        }

        if (option == QLatin1String("--mandant"))
            r.mandant = wholeNumber(option, value, 1, 1000000);
        else if (option == QLatin1String("--jahr"))
            r.jahr = wholeNumber(option, value, 1900, 3000);
        else if (option == QLatin1String("--zeitraum"))
            zeitraum = value;
        else if (option == QLatin1String("--nummer"))
            nummer = wholeNumber(option, value, 1, 12);
        else if (option == QLatin1String("--konto"))
            r.konto = wholeNumber(option, value, -2147483647, 2147483647);
        else if (option == QLatin1String("--filter"))
            r.filter = value;
        else if (option == QLatin1String("--pdf"))
            r.pdf = value;
        else if (option == QLatin1String("--csv"))
            r.csv = value;
        else if (option == QLatin1String("--datei"))
            r.datei = value;
        else if (option == QLatin1String("--datenordner"))
            r.datenordner = value;
        else if (option == QLatin1String("--waehrung"))
            r.waehrung = value;
        else if (option == QLatin1String("--erste-zeile-ueberlesen"))
            r.ersteZeileUeberlesen = yesNo(option, value);
        else if (option == QLatin1String("--bericht")) {
            const QString name = value.trimmed().toLower();
            for (const ReportKind& kind : reportKinds()) {
                if (name == QLatin1String(kind.name)) r.bericht = &kind;
            }
            if (!r.bericht)
                usage(QStringLiteral("Unbekannter Bericht \"%1\". Die Berichte stehen in quorvel --help.").arg(value));
        }
    }

    if (!zeitraum.isEmpty() || nummer) {
        if (zeitraum.isEmpty()) usage(QStringLiteral("Die Option --nummer gehört zu --zeitraum."));
        r.zeitraum = periodOf(zeitraum, nummer);
        r.zeitraumGiven = true;
    }
    if (r.command == Command::Report) {
        if (!r.bericht) usage(QStringLiteral("Es fehlt die Option --bericht."));
        if (r.bericht->tax != TaxKind::None) {
            checkTaxForm(r, seen);
            return r;
        }
        if (seen.contains(QStringLiteral("--csv")))
            usage(QStringLiteral("Nur die Steuerformulare (ustva, anlage-euer) werden auch als CSV geschrieben; "
                                 "der Bericht %1 nur mit --pdf.")
                      .arg(QLatin1String(r.bericht->name)));
        if (r.pdf.trimmed().isEmpty()) usage(QStringLiteral("Es fehlt die Option --pdf mit der Zieldatei."));
        if (needsAccount(*r.bericht) && !r.konto)
            usage(QStringLiteral("Der Bericht %1 braucht die Option --konto mit der Kontonummer.")
                      .arg(QLatin1String(r.bericht->name)));
        if (!needsAccount(*r.bericht) && r.konto)
            usage(QStringLiteral("Der Bericht %1 gilt keinem einzelnen Konto; lassen Sie --konto weg.")
                      .arg(QLatin1String(r.bericht->name)));
    } else if (r.datei.trimmed().isEmpty()) {
        usage(QStringLiteral("Es fehlt die Option --datei mit der CSV-Datei."));
    }
    return r;
}

QString versionText() {
    return QStringLiteral("quorvel %1\nEinnahmen-Überschuss-Rechnung. Lizenz: GPL-3.0-or-later.\n")
        .arg(QStringLiteral(QUORVEL_VERSION));
}

QString helpText() {
    QString reports;
    for (const ReportKind& kind : reportKinds())
        reports += QStringLiteral("  %1%2\n")
                       .arg(QLatin1String(kind.name), -31)
                       .arg(QString::fromUtf8(kind.caption) + (needsAccount(kind) ? QStringLiteral(", mit --konto")
                                                                                  : QString()));
    return QStringLiteral(
               "Aufruf:\n"
               "  quorvel                       das Programmfenster\n"
               "  quorvel report     --bericht NAME --pdf DATEI [Optionen]\n"
               "  quorvel report     --bericht ustva|anlage-euer [--pdf DATEI] [--csv DATEI] [Optionen]\n"
               "  quorvel export-csv --datei DATEI [Optionen]\n"
               "  quorvel import-csv --datei DATEI [Optionen]\n"
               "  quorvel --help | --version\n"
               "\n"
               "Die Befehle arbeiten ohne Fenster und ohne Bildschirm, mit denselben Berichten, PDF-Seiten und\n"
               "CSV-Formaten wie das Programmfenster.\n"
               "\n"
               "Gemeinsame Optionen:\n"
               "  --mandant N                   Mandantennummer (1 bis 1000000; ohne Angabe 1)\n"
               "  --jahr JJJJ                   Buchungsjahr (1900 bis 3000; ohne Angabe das laufende Jahr)\n"
               "  --datenordner ORDNER          Datenordner (ohne Angabe der im \"Admin Menü\" gewählte)\n"
               "\n"
               "report:\n"
               "  --bericht NAME                einer der Berichte unten\n"
               "  --konto NR                    das Konto der Einzelkonto-Berichte\n"
               "  --zeitraum Z [--nummer N]     Jahr (ohne Angabe), Halbjahr mit N = 1 bis 2, Quartal mit\n"
               "                                N = 1 bis 4, Monat mit N = 1 bis 12;\n"
               "                                z.B. --zeitraum Quartal --nummer 2 für April bis Juni\n"
               "  --filter TEXT                 nur die Buchungen, die der Journalfilter \"Filtern\" mit TEXT zeigt\n"
               "  --waehrung TEXT               Währungstext auf den Seiten (ohne Angabe €)\n"
               "  --pdf DATEI                   die PDF-Datei; eine vorhandene wird ersetzt\n"
               "  --csv DATEI                   nur ustva und anlage-euer: die Zeilen des Formulars als CSV-Datei\n"
               "                                (Zeile;Kennzahl;Bezeichnung;Betrag;Hinweis); eine vorhandene wird\n"
               "                                ersetzt. Die Formulare brauchen --pdf oder --csv oder beide.\n"
               "\n"
               "Steuerformulare: ustva für den Zeitraum (Monat, Quartal oder Jahr; ohne Angabe das Jahr), nicht\n"
               "für Kleinunternehmer; anlage-euer für das ganze Jahr. Gezählt werden alle Buchungen mit Datum im\n"
               "Zeitraum, ohne --filter; Konten ordnet die Kontenzuordnung des Programmfensters zu. Beispiel:\n"
               "  quorvel report --bericht ustva --zeitraum Quartal --nummer 1 --pdf ustva.pdf --csv ustva.csv\n"
               "\n"
               "export-csv:\n"
               "  --datei DATEI                 die CSV-Datei; eine vorhandene wird ersetzt\n"
               "  --zeitraum Z [--nummer N]     nur die Buchungen des Zeitraums (ohne Angabe alle)\n"
               "  --filter TEXT                 nur die Buchungen, die der Journalfilter mit TEXT zeigt\n"
               "\n"
               "import-csv:\n"
               "  --datei DATEI                 die CSV-Datei; jede Zeile wird eine Buchung\n"
               "  --erste-zeile-ueberlesen ja|nein\n"
               "                                Überschriftenzeile überlesen (ohne Angabe wie im Menü\n"
               "                                \"Einstellungen\" des Programmfensters eingestellt)\n"
               "\n"
               "Berichte (--bericht):\n"
               "%1"
               "\n"
               "Rückgabewert: 0 erledigt; 1 Fehler (Meldung auf der Fehlerausgabe, nichts geschrieben außer\n"
               "beim Import den Buchungen vor der Fehlerzeile); 2 falscher Aufruf; 3 der Datenordner wird von\n"
               "einem laufenden Quorvel benutzt (nichts geschrieben).\n")
        .arg(reports);
}

}  // namespace CommandLine
