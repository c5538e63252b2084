// SPDX-License-Identifier: GPL-3.0-or-later
// Closed periods in the main window: every way of changing a booking is refused there, and the refusal
// offers the cancellation.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "MainControls.h"
#include "MainWindowFixture.h"
#include "UiTestSupport.h"
#include "audit/LogNotes.h"
#include "audit/PeriodClosing.h"
#include "bank/BankLedger.h"
#include "bank/BankPosting.h"
#include "bank/BankReview.h"
#include "exchange/CsvImport.h"
#include "journal/JournalModel.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/FestschreibenFUnit.h"

namespace {

struct RecordingNotes : audit::LogNotes {
    std::vector<audit::LogNote> notes;
    void note(const audit::LogNote& entry) override { notes.push_back(entry); }
};

// Answers the next message boxes in order, each by the button with the given text, and keeps their texts.
class BoxSequence {
public:
    explicit BoxSequence(QStringList buttons) : m_buttons(std::move(buttons)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    const QStringList& texts() const { return m_texts; }
    bool done() const { return m_buttons.isEmpty(); }
    // Runs the event loop until every box has been answered (or a second has passed).
    void wait() {
        for (int i = 0; i < 100 && !done(); ++i) QTest::qWait(10);
    }

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || m_buttons.isEmpty() || box == m_last) return;
        m_last = box;
        m_texts << box->text();
        const QString wanted = m_buttons.takeFirst();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == wanted) {
                button->click();
                return;
            }
        m_texts << QStringLiteral("(keine Schaltfläche „%1“)").arg(wanted);
        box->done(QMessageBox::Cancel);
    }
    QStringList m_buttons;
    QStringList m_texts;
    QTimer m_timer;
    QMessageBox* m_last = nullptr;
};

class ClosingCommandsTest : public MainWindowFixture {
protected:
    // Books two January expenses, then closes January through "Admin" > "Zeitraum festschreiben".
    void startClosed() {
        start();
        form->setLogNotes(&log);
        post(QStringLiteral("Porto"), 119, QDate(m_year, 1, 15));
        post(QStringLiteral("Papier"), 23.8, QDate(m_year, 1, 20));
        ASSERT_EQ(bookings().RecordCount(), 2);
        uitest::OnModal<TFestschreibenForm> dialog([](TFestschreibenForm* d) {
            d->BisdatumEd->setEditText(QStringLiteral("31.1."));
            d->OKBtn->click();
        });
        BoxSequence boxes({QStringLiteral("Ja"), QStringLiteral("OK")});
        form->Zeitraumfestschreiben1->trigger();
        boxes.wait();
        ASSERT_TRUE(dialog.seen());
        ASSERT_EQ(boxes.texts().size(), 2);
        EXPECT_TRUE(boxes.texts()[0].contains(QStringLiteral("nicht rückgängig gemacht werden")));
        EXPECT_EQ(form->periodClosing().closedUntil(), QDate(m_year, 1, 31));
        bookings().First();
    }
    QByteArray bookingsFile() { return testsupport::readFile(bookings().absoluteFileName()); }

    RecordingNotes log;
};

// Every path that writes bookings refuses a change in the closed period with a German reason, and the
// bookings file stays as it was.
TEST_F(ClosingCommandsTest, EveryEditPathIsRefusedInTheClosedPeriod) {
    startClosed();
    post(QStringLiteral("Miete"), 500, QDate(m_year, 3, 1));  // open, for the move into January
    const QString closedText = QStringLiteral("festgeschriebenen Zeitraum bis 31.01.%1").arg(m_year);
    struct Path {
        const char* name;
        std::function<QString()> run;  // the message the user reads
    };
    const Path paths[] = {
        {"Journal: Zelle ändern",
         [&] {
             BoxSequence boxes({QStringLiteral("Abbrechen")});
             JournalModel* model = form->journalModel();
             EXPECT_FALSE(model->setData(model->index(0, 3), QStringLiteral("Briefmarken"), Qt::EditRole));
             boxes.wait();
             if (uitest::controls(form).DBGrid1->isEditing()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
             return boxes.texts().join(u'\n');
         }},
        {"Journal: Datum in den festgeschriebenen Monat verschieben",
         [&] {
             BoxSequence boxes({QStringLiteral("OK")});
             JournalModel* model = form->journalModel();
             EXPECT_FALSE(model->setData(model->index(2, 0), QStringLiteral("10.01.%1").arg(m_year), Qt::EditRole));
             boxes.wait();
             if (uitest::controls(form).DBGrid1->isEditing()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
             return boxes.texts().join(u'\n');
         }},
        {"Navigator: löschen",
         [&] {
             bookings().First();
             BoxSequence boxes({QStringLiteral("Ja"), QStringLiteral("Abbrechen")});
             EXPECT_FALSE(uitest::controls(form).DBNavigator1->doAction(DBNavigator::Delete));
             boxes.wait();
             return boxes.texts().value(1);
         }},
        {"Eingabe: Buchen",
         [&] {
             try {
                 post(QStringLiteral("Porto"), 5, QDate(m_year, 1, 31));
             } catch (const QuorvelError& e) {
                 return e.message();
             }
             return QString();
         }},
        {"CSV-Import",
         [&] {
             CsvImport import(bookings(), m_year);
             const CsvImportResult result =
                 import.importBytes(QStringLiteral("12.01.%1;A;9;Porto;5,00;19;1\r\n").arg(m_year).toLatin1());
             EXPECT_EQ(result.added, 0);
             EXPECT_EQ(result.stoppedAtLine, 0);
             return result.summary();
         }},
        {"Kontoauszug buchen",
         [&] {
             BankLedger ledger;
             ledger.open(bookings().FilePath(), 1, m_year);
             std::vector<ReviewRow> rows(1);
             rows[0].movement.where = QStringLiteral("Zeile 2");
             rows[0].ticked = true;
             rows[0].datum = QDate(m_year, 1, 9);
             rows[0].cents = -1190;
             rows[0].kontoIndex = 0;
             rows[0].mwstIndex = 0;
             rows[0].buchtext = QStringLiteral("Telefon");
             const BankPostingResult result = BankPosting::post(form->tables(), ledger, rows, m_year);
             EXPECT_EQ(result.booked, 0);
             EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
             EXPECT_EQ(ledger.table().RecordCount(), 0);
             return result.summary();
         }},
    };
    for (const Path& path : paths) {
        SCOPED_TRACE(path.name);
        const QByteArray before = bookingsFile();
        const int count = bookings().RecordCount();
        const QString message = path.run();
        EXPECT_TRUE(message.contains(closedText)) << message.toStdString();
        EXPECT_EQ(bookingsFile(), before);
        EXPECT_EQ(bookings().RecordCount(), count);
    }
    EXPECT_TRUE(log.notes.size() == 1 && log.notes[0].action == QStringLiteral("Festschreibung"));
}

// Deleting a closed booking offers "Stornieren": the negating booking is posted, linked in the log, the
// VAT summary nets to zero, and a second cancellation asks first.
TEST_F(ClosingCommandsTest, RefusalOffersCancellation) {
    startClosed();
    bookings().First();
    BoxSequence boxes({QStringLiteral("Ja"), QStringLiteral("Stornieren")});
    uitest::controls(form).DBNavigator1->doAction(DBNavigator::Delete);
    boxes.wait();
    ASSERT_EQ(boxes.texts().size(), 2);
    EXPECT_TRUE(boxes.texts()[1].contains(QStringLiteral("kann nicht mehr gelöscht werden")));
    ASSERT_EQ(bookings().RecordCount(), 3);
    bookings().Last();
    EXPECT_EQ(bookings().FieldByName(QStringLiteral("Brutto")).AsFloat(), -119.0);
    EXPECT_EQ(bookings().FieldByName(QStringLiteral("Text")).AsString(), QStringLiteral("Storno zu Beleg 1"));
    EXPECT_EQ(bookings().FieldByName(QStringLiteral("Beleg")).AsString(), QStringLiteral("3"));
    ASSERT_EQ(log.notes.size(), 2u);
    EXPECT_EQ(log.notes[1].action, QStringLiteral("Storno"));
    EXPECT_EQ(log.notes[1].record, 0);
    EXPECT_EQ(uitest::controls(form).BelegEd->text(), QStringLiteral("4"));
    // "Gesamtes Jahr": only the VAT of Papier (an income, as the panel starts) is left.
    uitest::controls(form).periodItems[0]->trigger();
    EXPECT_EQ(uitest::controls(form).AbfuhrEd->text().toStdString(), "Abzuführen für eingestellten Zeitraum: 3,80 €");

    // Cancelling the same booking again asks; "Nein" leaves the books as they are.
    bookings().First();
    BoxSequence twice({QStringLiteral("Nein")});
    form->Buchungstornieren1->trigger();
    twice.wait();
    ASSERT_EQ(twice.texts().size(), 1);
    EXPECT_TRUE(twice.texts()[0].contains(QStringLiteral("schon storniert")));
    EXPECT_EQ(bookings().RecordCount(), 3);

    // A receipt given twice by hand is noted; the closing is still there after a restart.
    uitest::controls(form).BelegEd->setText(QStringLiteral("2"));
    post(QStringLiteral("Kaffee"), 8, QDate(m_year, 2, 2));
    ASSERT_EQ(log.notes.size(), 3u);
    EXPECT_EQ(log.notes[2].action, QStringLiteral("Belegnummer"));
    restart();
    EXPECT_EQ(form->periodClosing().closedUntil(), QDate(m_year, 1, 31));
}

}  // namespace
