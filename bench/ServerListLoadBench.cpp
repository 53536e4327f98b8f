// Time from creating the connection dialog to a filled server list, with a servers.sdb of 10,000
// entries: the dialog's constructor and its load (version label, opening and checking the store,
// listing every record). Prints the figures of several runs for two cases: a list file saved long ago
// (the store can prove it unchanged between reads) and one written just now (its time is too recent to
// trust, so the store re-reads it for every read). The goal is under 300 ms. Also times one "Save" on
// the full list, which adds the entry and rebuilds the list.

#include "app/MessageBoxes.h"
#include "app/frmConnect.h"

#include "ServerListFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace brimhold::app;

namespace {

constexpr int kEntries = 10000;
constexpr int kRuns = 7;

class SilentMessageBoxes final : public MessageBoxes {
public:
    void critical(QWidget*, const QString& title, const QString& text) override { report(title, text); }
    void warning(QWidget*, const QString& title, const QString& text) override { report(title, text); }
    void information(QWidget*, const QString&, const QString&) override {}

private:
    static void report(const QString& title, const QString& text) {
        std::fprintf(stderr, "message %s: %s\n", qPrintable(title), qPrintable(text));
    }
};

// Milliseconds of one "Save" (store the entry, rebuild the list) on the full list.
double timeSave(const QString& directory, SilentMessageBoxes& boxes) {
    ConnectOptions options;
    options.programDirectory = directory;
    options.userDataDirectory = QDir(directory).filePath(QStringLiteral("user"));
    options.messageBoxes = &boxes;
    frmConnect dialog(options);
    dialog.Form_Load(QString());
    dialog.findChild<QLineEdit*>(QStringLiteral("txtServerNaam"))->setText(QStringLiteral("bench"));
    QElapsedTimer clock;
    clock.start();
    dialog.cmdSave_Click();
    const double ms = clock.nsecsElapsed() / 1e6;
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstServers"));
    list->setCurrentRow(list->count() - 1);
    dialog.cmdRemove_Click();  // back to kEntries entries for the next run
    return ms;
}

// Milliseconds from the dialog's creation to its filled list.
double timeLoad(const QString& directory, SilentMessageBoxes& boxes) {
    ConnectOptions options;
    options.programDirectory = directory;
    options.userDataDirectory = QDir(directory).filePath(QStringLiteral("user"));
    options.messageBoxes = &boxes;
    QElapsedTimer clock;
    clock.start();
    frmConnect dialog(options);
    dialog.Form_Load(QString());
    const double ms = clock.nsecsElapsed() / 1e6;
    const int rows = dialog.findChild<QListWidget*>(QStringLiteral("lstServers"))->count();
    if (rows != kEntries) {
        qFatal("the list shows %d rows instead of %d", rows, kEntries);
    }
    return ms;
}

void report(const char* name, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s min %8.1f ms   median %8.1f ms   max %8.1f ms   (%zu runs)\n", name, ms.front(),
                ms[ms.size() / 2], ms.back(), ms.size());
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("0.9.4"));
    QTemporaryDir directory;
    if (!directory.isValid()) {
        qFatal("no temporary directory");
    }
    const QString path = directory.filePath(QStringLiteral("servers.sdb"));
    const QByteArray bytes = serverListWithEntries(kEntries);
    SilentMessageBoxes boxes;
    std::printf("servers.sdb with %d entries, %lld bytes\n", kEntries, static_cast<long long>(bytes.size()));

    std::vector<double> settled;
    writeServerList(path, bytes, 60);
    for (int run = 0; run < kRuns; ++run) {
        settled.push_back(timeLoad(directory.path(), boxes));
    }
    report("dialog load, list saved a minute ago", settled);

    std::vector<double> fresh;
    for (int run = 0; run < 2; ++run) {
        writeServerList(path, bytes, 0);
        fresh.push_back(timeLoad(directory.path(), boxes));
    }
    report("dialog load, list written just now", fresh);

    std::vector<double> saves;
    for (int run = 0; run < 3; ++run) {
        saves.push_back(timeSave(directory.path(), boxes));
    }
    report("Save with the list rebuilt", saves);
    std::printf("goal: under 300 ms\n");
    return 0;
}
