// Prints the MIME type that Qt's MIME database gives each file named on the command line, one a line, as the
// window and Qt's file dialogs see it.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    const QMimeDatabase types;
    QTextStream out(stdout);
    for (const QString& path : QCoreApplication::arguments().mid(1)) {
        out << types.mimeTypeForFile(path).name() << '\n';
    }
    return 0;
}
