#include "app/QuorvelApplication.h"

#include <QMessageBox>
#include <exception>

#include "storage/StorageError.h"

QuorvelApplication::QuorvelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuorvelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const QuorvelError& e) {
        showError(e.message());
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showError(QStringLiteral("Unbekannter Fehler."));
    }
    return false;
}

void QuorvelApplication::showError(const QString& message) {
    QMessageBox::critical(activeWindow(), applicationDisplayName(), message);
}
