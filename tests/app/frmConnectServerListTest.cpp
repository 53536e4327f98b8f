#include "recordstore/ZurerEzuz.h"
#include "rcon/AuthModeStore.h"
#include "app/frmConnect.h"

#include "FileBytes.h"
#include "RecordingMessageBoxes.h"
#include "ServerListSchema.h"
#include "TestDialogOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace brimhold::app;
using namespace brimhold::recordstore;

namespace {

const QByteArray kSchema(kServerListSchema);

QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->count(); ++row) {
        rows << list->item(row)->text();
    }
    return rows;
}

// The records of a list file as (Id, name) pairs, read by a store of its own.
QList<QPair<QString, QString>> recordsIn(const QString& path) {
    ZurerEzuz store;
    QList<QPair<QString, QString>> records;
    if (!store.OpenDatabase(QFile::encodeName(path).toStdString(), false)) {
        return records;
    }
    for (int32_t nr = 1; nr <= store.RecordCount(); ++nr) {
        const auto record = store.Record(nr);
        records.append({QString::fromStdString((*record)[0]), QString::fromLatin1((*record)[1].c_str())});
    }
    return records;
}

}  // namespace

class frmConnectServerListTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void aFreshStartCreatesTheSchemaFile();
    void anExistingFileIsLeftUntouchedAtStart();
    void aListOfAnotherTableEndsTheLoadAfterTheMessage();
    void aListSetUpAfterTheFirstFrameIsFilledOnceTheDialogIsDrawn();
    void anUnreadableListAfterTheFirstFrameIsToldAndTheCommandLineNoticeStays();
    void selectingARowLoadsItsEntry();
    void loadAndRemoveWithoutASelectedRowDoNothing();
    void savingTheSameFieldsTwiceGivesTwoEntries();
    void saveWithAnEmptyNameStoresNothingAndSaysSoQuietly();
    void removingRowTwoOfFourMovesTheLaterRowsUp();
    void namesWithHashAndBackslashAreKeptAsTyped();
    void anotherProgramsChangeIsSeenByPosition();
    void doubleClickLoadsAndConnects();
    void aRefusedChangeIsToldWithoutADialog();
    void anUnreadableListIsReportedAndTheDialogStillConnects_data();
    void anUnreadableListIsReportedAndTheDialogStillConnects();
    void aProgramFolderThatCannotHoldTheListUsesTheUserFolder();
    void anEntrysMenuKeepsItsSecureRconMode();

private:
    ConnectOptions options();
    QString listFile() const { return m_program->filePath(QStringLiteral("servers.sdb")); }
    void fillBoxes(frmConnect& dialog, const QString& name, const QString& host, const QString& port,
                   const QString& password);
    void clickRow(frmConnect& dialog, int row);

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_userData;
    RecordingMessageBoxes m_boxes;
};

void frmConnectServerListTest::initTestCase() {
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

void frmConnectServerListTest::init() {
    m_program = std::make_unique<QTemporaryDir>();
    m_userData = std::make_unique<QTemporaryDir>();
    QVERIFY(m_program->isValid() && m_userData->isValid());
    m_boxes.shown.clear();
}

ConnectOptions frmConnectServerListTest::options() {
    return dialogOptionsIn(m_program->path(), m_userData->filePath(QStringLiteral("brimhold-rcon")),
                           &m_boxes);
}

void frmConnectServerListTest::fillBoxes(frmConnect& dialog, const QString& name, const QString& host,
                                         const QString& port, const QString& password) {
    dialog.findChild<QLineEdit*>(QStringLiteral("txtServerNaam"))->setText(name);
    dialog.findChild<QLineEdit*>(QStringLiteral("txtHost"))->setText(host);
    dialog.findChild<QLineEdit*>(QStringLiteral("txtPort"))->setText(port);
    dialog.findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(password);
}

void frmConnectServerListTest::clickRow(frmConnect& dialog, int row) {
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstServers"));
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

#define BOX(name) dialog.findChild<QLineEdit*>(QStringLiteral(name))
#define LIST dialog.findChild<QListWidget*>(QStringLiteral("lstServers"))
#define BUTTON(name) dialog.findChild<QPushButton*>(QStringLiteral(name))
#define NOTICE dialog.findChild<QLabel*>(QStringLiteral("lblNotice"))->text()

void frmConnectServerListTest::aFreshStartCreatesTheSchemaFile() {
    frmConnect dialog(options());
    QCOMPARE(dialog.Form_Load(QString()), frmConnect::LoadOutcome::ShowDialog);

    QCOMPARE(readAll(listFile()), kSchema);
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(listFile()).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0600));
    QCOMPARE(LIST->count(), 0);
    QVERIFY(m_boxes.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(m_userData->filePath(QStringLiteral("brimhold-rcon"))));
}

void frmConnectServerListTest::anExistingFileIsLeftUntouchedAtStart() {
    const QByteArray bytes = kSchema + "4#alpha#10.0.0.1#28960#\r\n9#beta#10.0.0.2#28961#\r\n";
    QVERIFY(writeAll(listFile(), bytes));
    QVERIFY(QFile::setPermissions(listFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QDateTime modified = QFileInfo(listFile()).lastModified();
    const QFileDevice::Permissions permissions = QFileInfo(listFile()).permissions();

    frmConnect dialog(options());
    dialog.Form_Load(QString());

    QCOMPARE(readAll(listFile()), bytes);
    QCOMPARE(QFileInfo(listFile()).lastModified(), modified);
    QCOMPARE(QFileInfo(listFile()).permissions(), permissions);
    QCOMPARE(rowsOf(LIST), QStringList({"alpha", "beta"}));
    QVERIFY(LIST->selectedItems().isEmpty());
}

void frmConnectServerListTest::aListOfAnotherTableEndsTheLoadAfterTheMessage() {
    const QByteArray bytes("Serverlijst2#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\n");
    QVERIFY(writeAll(listFile(), bytes));
    frmConnect dialog(options());
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    QCOMPARE(dialog.Form_Load(QStringLiteral("127.0.0.1 secret")), frmConnect::LoadOutcome::EndProgram);

    QCOMPARE(m_boxes.shown.size(), 1);
    QCOMPARE(m_boxes.shown[0].kind, QStringLiteral("critical"));
    QCOMPARE(m_boxes.shown[0].title, QStringLiteral("rcon"));
    QCOMPARE(m_boxes.shown[0].text, QStringLiteral("Serverdatabase is niet in orde"));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(requests.count(), 0);
    QCOMPARE(readAll(listFile()), bytes);
}

void frmConnectServerListTest::aListSetUpAfterTheFirstFrameIsFilledOnceTheDialogIsDrawn() {
    QVERIFY(writeAll(listFile(), kSchema + "1#one#h#1#\r\n2#two#h#2#\r\n"));
    frmConnect dialog(options());

    QCOMPARE(dialog.Form_Load(QString(), frmConnect::ServerListTiming::AfterFirstFrame),
             frmConnect::LoadOutcome::ShowDialog);
    QCOMPARE(LIST->count(), 0);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTRY_COMPARE(rowsOf(LIST), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
}

void frmConnectServerListTest::anUnreadableListAfterTheFirstFrameIsToldAndTheCommandLineNoticeStays() {
    QVERIFY(writeAll(listFile(), kSchema + "nine#b#h#2#\r\n"));
    frmConnect dialog(options());
    dialog.Form_Load(QStringLiteral("oneword"), frmConnect::ServerListTiming::AfterFirstFrame);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTRY_COMPARE(m_boxes.shown.size(), 1);
    QCOMPARE(m_boxes.shown[0].kind, QStringLiteral("warning"));
    QCOMPARE(NOTICE, QStringLiteral("Command line ignored: use host [port] password"));
    QVERIFY(!dialog.findChild<QGroupBox*>(QStringLiteral("Frame1"))->isEnabled());
}

void frmConnectServerListTest::selectingARowLoadsItsEntry() {
    QVERIFY(writeAll(listFile(), kSchema));
    {
        ZurerEzuz other;
        QVERIFY(other.OpenDatabase(QFile::encodeName(listFile()).toStdString(), false));
        other.setAutoSave(true);
        for (std::vector<std::string> values : {std::vector<std::string>{"0", "one", "h1", "1001", "pw one"},
                                                std::vector<std::string>{"0", "two", "h2", "", ""}}) {
            ZurerEzuz::Collection data = ZurerEzuz::ArrayToCollection(values);
            QVERIFY(other.SetRecord(data));
        }
    }
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    clickRow(dialog, 0);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("one"));
    QCOMPARE(BOX("txtHost")->text(), QStringLiteral("h1"));
    QCOMPARE(BOX("txtPort")->text(), QStringLiteral("1001"));
    QCOMPARE(BOX("txtPassword")->text(), QStringLiteral("pw one"));
    QCOMPARE(BOX("txtPassword")->displayText(), QStringLiteral("******"));

    // The keyboard selects too, and empty values replace the boxes' contents.
    LIST->setFocus();
    QTest::keyClick(LIST, Qt::Key_Down);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("two"));
    QCOMPARE(BOX("txtPort")->text(), QString());
    QCOMPARE(BOX("txtPassword")->text(), QString());

    // "Load" does the same for the selected row.
    fillBoxes(dialog, "x", "x", "x", "x");
    QTest::mouseClick(BUTTON("cmdLoad"), Qt::LeftButton);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("two"));
    QCOMPARE(BOX("txtHost")->text(), QStringLiteral("h2"));
}

void frmConnectServerListTest::loadAndRemoveWithoutASelectedRowDoNothing() {
    QVERIFY(writeAll(listFile(), kSchema + "1#one#h#1#\r\n"));
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    fillBoxes(dialog, "n", "h", "p", "w");
    const QByteArray before = readAll(listFile());

    QTest::mouseClick(BUTTON("cmdLoad"), Qt::LeftButton);
    QTest::mouseClick(BUTTON("cmdRemove"), Qt::LeftButton);

    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("n"));
    QCOMPARE(BOX("txtHost")->text(), QStringLiteral("h"));
    QCOMPARE(rowsOf(LIST), QStringList({"one"}));
    QCOMPARE(readAll(listFile()), before);
}

void frmConnectServerListTest::savingTheSameFieldsTwiceGivesTwoEntries() {
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    fillBoxes(dialog, "home", "10.1.1.1", "28960", "s3cret");

    QTest::mouseClick(BUTTON("cmdSave"), Qt::LeftButton);
    clickRow(dialog, 0);
    QTest::mouseClick(BUTTON("cmdSave"), Qt::LeftButton);

    QCOMPARE(rowsOf(LIST), QStringList({"home", "home"}));
    QVERIFY(LIST->selectedItems().isEmpty());
    const auto records = recordsIn(listFile());
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].first, QStringLiteral("1"));
    QCOMPARE(records[1].first, QStringLiteral("2"));
    // The boxes keep their contents after a save.
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("home"));
    QCOMPARE(BOX("txtPassword")->text(), QStringLiteral("s3cret"));
    QVERIFY(!readAll(listFile()).contains("s3cret"));
    QCOMPARE(NOTICE, QString());
    QVERIFY(m_boxes.shown.isEmpty());

    // An entry with only a name loads back with empty host, port and password.
    fillBoxes(dialog, "bare", "", "", "");
    QTest::mouseClick(BUTTON("cmdSave"), Qt::LeftButton);
    fillBoxes(dialog, "x", "x", "x", "x");
    clickRow(dialog, 2);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("bare"));
    QCOMPARE(BOX("txtHost")->text(), QString());
    QCOMPARE(BOX("txtPort")->text(), QString());
    QCOMPARE(BOX("txtPassword")->text(), QString());
}

void frmConnectServerListTest::saveWithAnEmptyNameStoresNothingAndSaysSoQuietly() {
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    fillBoxes(dialog, "", "10.1.1.1", "28960", "pw");

    QTest::mouseClick(BUTTON("cmdSave"), Qt::LeftButton);

    QCOMPARE(readAll(listFile()), kSchema);
    QCOMPARE(LIST->count(), 0);
    QVERIFY(!NOTICE.isEmpty());
    QVERIFY(m_boxes.shown.isEmpty());
    QVERIFY(dialog.isVisible());

    // The next successful save clears the notice.
    BOX("txtServerNaam")->setText(QStringLiteral("named"));
    QTest::mouseClick(BUTTON("cmdSave"), Qt::LeftButton);
    QCOMPARE(NOTICE, QString());
    QCOMPARE(LIST->count(), 1);
}

void frmConnectServerListTest::removingRowTwoOfFourMovesTheLaterRowsUp() {
    QVERIFY(writeAll(listFile(), kSchema + "1#a#h#1#\r\n2#b#h#2#\r\n3#c#h#3#\r\n4#d#h#4#\r\n"));
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    fillBoxes(dialog, "keep", "keep", "keep", "keep");
    clickRow(dialog, 1);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("b"));

    QTest::mouseClick(BUTTON("cmdRemove"), Qt::LeftButton);

    QCOMPARE(rowsOf(LIST), QStringList({"a", "c", "d"}));
    QVERIFY(LIST->selectedItems().isEmpty());
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("b"));
    QCOMPARE(recordsIn(listFile()), (QList<QPair<QString, QString>>{{"1", "a"}, {"3", "c"}, {"4", "d"}}));
    // Nothing is selected any more, so a second Remove does nothing.
    QTest::mouseClick(BUTTON("cmdRemove"), Qt::LeftButton);
    QCOMPARE(LIST->count(), 3);
}

void frmConnectServerListTest::namesWithHashAndBackslashAreKeptAsTyped() {
    const QString name = QStringLiteral("Clan #1 \\ Caf\u00e9 ##\\\\");
    {
        frmConnect dialog(options());
        dialog.Form_Load(QString());
        fillBoxes(dialog, name, "h#\\", "28960", "p#ss\\");
        dialog.cmdSave_Click();
        QCOMPARE(rowsOf(LIST), QStringList({name}));
    }
    QVERIFY(readAll(listFile()).contains("Clan \\#1 \\\\ Caf\xE9 \\#\\#\\\\\\\\"));
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    QCOMPARE(rowsOf(LIST), QStringList({name}));
    clickRow(dialog, 0);
    QCOMPARE(BOX("txtServerNaam")->text(), name);
    QCOMPARE(BOX("txtHost")->text(), QStringLiteral("h#\\"));
    QCOMPARE(BOX("txtPassword")->text(), QStringLiteral("p#ss\\"));
}

void frmConnectServerListTest::anotherProgramsChangeIsSeenByPosition() {
    QVERIFY(writeAll(listFile(), kSchema + "1#a#ha#1#\r\n2#b#hb#2#\r\n3#c#hc#3#\r\n"));
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    QCOMPARE(rowsOf(LIST), QStringList({"a", "b", "c"}));

    // Another copy of the program removes the first entry.
    ZurerEzuz other;
    QVERIFY(other.OpenDatabase(QFile::encodeName(listFile()).toStdString(), false));
    other.setAutoSave(true);
    QVERIFY(other.RemRecord(1));

    // The list still shows the old rows; Load acts on the record now at the row's position.
    QCOMPARE(rowsOf(LIST), QStringList({"a", "b", "c"}));
    clickRow(dialog, 0);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("b"));
    QCOMPARE(BOX("txtHost")->text(), QStringLiteral("hb"));

    // A row past the file's end reports the problem quietly instead of loading anything.
    fillBoxes(dialog, "x", "x", "x", "x");
    clickRow(dialog, 2);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("x"));
    QVERIFY(!NOTICE.isEmpty());

    // A later Load that works takes the notice away.
    clickRow(dialog, 1);
    QCOMPARE(BOX("txtServerNaam")->text(), QStringLiteral("c"));
    QCOMPARE(NOTICE, QString());

    // Saving rebuilds the list from the file: the other program's change shows.
    fillBoxes(dialog, "d", "hd", "4", "");
    QTest::mouseClick(BUTTON("cmdSave"), Qt::LeftButton);
    QCOMPARE(rowsOf(LIST), QStringList({"b", "c", "d"}));
    QCOMPARE(recordsIn(listFile()).last(), (QPair<QString, QString>{"4", "d"}));
}

void frmConnectServerListTest::doubleClickLoadsAndConnects() {
    QVERIFY(writeAll(listFile(), kSchema));
    {
        ZurerEzuz other;
        QVERIFY(other.OpenDatabase(QFile::encodeName(listFile()).toStdString(), false));
        ZurerEzuz::Collection data =
            ZurerEzuz::ArrayToCollection({"0", "test server", "127.0.0.1", "27961", "pw"});
        QVERIFY(other.SetRecord(data));
        QVERIFY(other.SaveDatabase());
    }
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = LIST;
    const QPoint centre = list->visualItemRect(list->item(0)).center();
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    // A double-click starts as a click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(requests.count(), 0);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);

    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.first(), (QList<QVariant>{"127.0.0.1", "27961", "pw"}));
    QVERIFY(!dialog.isVisible());
}

void frmConnectServerListTest::aRefusedChangeIsToldWithoutADialog() {
    const QByteArray bytes = kSchema + "1#a#h#1#\r\n";
    QVERIFY(writeAll(listFile(), bytes));
    QVERIFY(QFile::setPermissions(listFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    frmConnect dialog(options());
    dialog.Form_Load(QString());
    dialog.show();

    fillBoxes(dialog, "new", "h", "1", "p");
    QTest::mouseClick(BUTTON("cmdSave"), Qt::LeftButton);
    QVERIFY2(NOTICE.contains(QStringLiteral("Database is alleen lezen")), qPrintable(NOTICE));
    QCOMPARE(rowsOf(LIST), QStringList({"a"}));

    clickRow(dialog, 0);
    QTest::mouseClick(BUTTON("cmdRemove"), Qt::LeftButton);
    QVERIFY2(NOTICE.contains(QStringLiteral("Database is alleen lezen")), qPrintable(NOTICE));
    QCOMPARE(rowsOf(LIST), QStringList({"a"}));

    QCOMPARE(readAll(listFile()), bytes);
    QVERIFY(m_boxes.shown.isEmpty());
}

void frmConnectServerListTest::anUnreadableListIsReportedAndTheDialogStillConnects_data() {
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<QString>("line");
    QTest::newRow("an Id that is not a number") << QByteArray("1#a#h#1#\r\nnine#b#h#2#\r\n") << "line 8";
    QTest::newRow("a record with too few values") << QByteArray("1#a#h\r\n2#b#h#2#\r\n") << "line 7";
}

void frmConnectServerListTest::anUnreadableListIsReportedAndTheDialogStillConnects() {
    QFETCH(QByteArray, records);
    QFETCH(QString, line);
    const QByteArray bytes = kSchema + records;
    QVERIFY(writeAll(listFile(), bytes));
    const QDateTime modified = QFileInfo(listFile()).lastModified();
    frmConnect dialog(options());
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    QCOMPARE(dialog.Form_Load(QString()), frmConnect::LoadOutcome::ShowDialog);

    QCOMPARE(m_boxes.shown.size(), 1);
    QCOMPARE(m_boxes.shown[0].kind, QStringLiteral("warning"));
    QVERIFY2(m_boxes.shown[0].text.contains(listFile()), qPrintable(m_boxes.shown[0].text));
    QVERIFY2(m_boxes.shown[0].text.contains(line), qPrintable(m_boxes.shown[0].text));
    QCOMPARE(LIST->count(), 0);
    QVERIFY(!dialog.findChild<QGroupBox*>(QStringLiteral("Frame1"))->isEnabled());
    fillBoxes(dialog, "new", "h", "1", "p");
    dialog.cmdSave_Click();
    LIST->addItem(QStringLiteral("row"));
    LIST->setCurrentRow(0);
    dialog.cmdRemove_Click();
    QCOMPARE(readAll(listFile()), bytes);
    QCOMPARE(QFileInfo(listFile()).lastModified(), modified);

    dialog.show();
    fillBoxes(dialog, "", "127.0.0.1", "27961", "secret");
    QTest::mouseClick(BUTTON("cmdConnect"), Qt::LeftButton);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(readAll(listFile()), bytes);
}

void frmConnectServerListTest::aProgramFolderThatCannotHoldTheListUsesTheUserFolder() {
    // A program "folder" below a plain file cannot hold anything, not even for root.
    QVERIFY(writeAll(m_program->filePath(QStringLiteral("plain")), "x"));
    ConnectOptions settings = options();
    settings.programDirectory = m_program->filePath(QStringLiteral("plain/bin"));
    frmConnect dialog(settings);
    dialog.Form_Load(QString());

    const QString userList = QDir(settings.userDataDirectory).filePath(QStringLiteral("servers.sdb"));
    QCOMPARE(readAll(userList), kSchema);
    QVERIFY(m_boxes.shown.isEmpty());
    fillBoxes(dialog, "kept", "h", "1", "p");
    dialog.cmdSave_Click();
    QCOMPARE(rowsOf(LIST), QStringList({"kept"}));
    QCOMPARE(recordsIn(userList).size(), 1);
}

// Right-clicking an entry pops up its menu with the entry's rcon mode checked; choosing another keeps it
// for the entry's host and port.
void frmConnectServerListTest::anEntrysMenuKeepsItsSecureRconMode() {
    QVERIFY(writeAll(listFile(), kSchema + "4#alpha#10.0.0.1#28960#\r\n9#beta#10.0.0.2#26000#\r\n"));
    ConnectOptions withModes = options();
    withModes.authModeFile = m_userData->filePath(QStringLiteral("secure-rcon.conf"));
    frmConnect dialog(withModes);
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* menu = dialog.findChild<QMenu*>(QStringLiteral("mnuServer"));
    QVERIFY(menu);
    const auto checkedAfterRightClickOn = [&](int row) {
        const QPoint at = LIST->visualItemRect(LIST->item(row)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, LIST->viewport()->mapToGlobal(at));
        QApplication::sendEvent(LIST->viewport(), &event);
        QString checked = menu->isVisible() ? QStringLiteral("<none>") : QStringLiteral("<no menu>");
        for (const QAction* action : menu->findChildren<QAction*>()) {
            if (action->isChecked()) {
                checked = action->objectName();
            }
        }
        return checked;
    };

    QCOMPARE(checkedAfterRightClickOn(1), QStringLiteral("mnuSecureRconPlain"));
    menu->findChild<QAction*>(QStringLiteral("mnuSecureRconChallenge"))->trigger();
    menu->close();

    const brimhold::rcon::AuthModeStore modes(withModes.authModeFile);
    QCOMPARE(modes.modeOf(QStringLiteral("10.0.0.2"), QStringLiteral("26000")),
             brimhold::rcon::AuthMode::Challenge);
    QCOMPARE(modes.modeOf(QStringLiteral("10.0.0.1"), QStringLiteral("28960")),
             brimhold::rcon::AuthMode::Plain);
    QCOMPARE(checkedAfterRightClickOn(1), QStringLiteral("mnuSecureRconChallenge"));
    menu->close();
    QCOMPARE(checkedAfterRightClickOn(0), QStringLiteral("mnuSecureRconPlain"));
    menu->close();
    QCOMPARE(readAll(listFile()), kSchema + "4#alpha#10.0.0.1#28960#\r\n9#beta#10.0.0.2#26000#\r\n");
}

QTEST_MAIN(frmConnectServerListTest)
#include "frmConnectServerListTest.moc"
