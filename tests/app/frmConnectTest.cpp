#include "version/BuildVersion.h"
#include "app/frmConnect.h"

#include "ExpectedVersionLabel.h"
#include "RecordingMessageBoxes.h"
#include "TestDialogOptions.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace brimhold::app;

namespace {

using Request = QList<QVariant>;  // host, port, password as handed over by connectRequested

// The server list goes to a folder of its own for the whole test run.
QTemporaryDir& listDirectory() {
    static QTemporaryDir directory;
    return directory;
}

RecordingMessageBoxes& messageBoxes() {
    static RecordingMessageBoxes boxes;
    return boxes;
}

ConnectOptions testOptions() {
    return dialogOptionsIn(listDirectory().path(), listDirectory().filePath(QStringLiteral("user-data")),
                           &messageBoxes());
}

Request request(const QString& host, const QString& port, const QString& password) {
    return {host, port, password};
}

template <typename T>
T* child(const QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!widget) {
        qFatal("no child %s", name);
    }
    return widget;
}

QLineEdit* textBox(const QWidget& dialog, const char* name) {
    return child<QLineEdit>(dialog, name);
}

int scaled(int pixels) {
    return qRound(pixels * QGuiApplication::primaryScreen()->logicalDotsPerInch() / 96.0);
}

}  // namespace

class frmConnectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void windowHasFixedClientSizeAndTitle();
    void controlsSitAtTheirPlaces_data();
    void controlsSitAtTheirPlaces();
    void initialTextsAndCaptions();
    void tabOrderFollowsTheTabIndex();
    void focusStartsInHost();
    void versionLabelShowsTheProjectVersion();
    void passwordShowsStarsButKeepsThePlainText();
    void onlyConnectIsADefaultButton();
    void enterOnAFocusedButtonPressesThatButton();
    void hotSpotShowsThePointingHand();
    void hotSpotClickShowsTheAboutBox();
    void resetDoesNothing();
    void escapeDoesNotCloseButTheCloseBoxDoes();
    void unusableCommandLineShowsTheDialogWithANotice_data();
    void unusableCommandLineShowsTheDialogWithANotice();

    void enterInEveryTextBoxPressesConnect_data();
    void enterInEveryTextBoxPressesConnect();
    void connectHandsOverTheTextsAndClosesTheDialog();
    void noSecondRequestWhileTheFirstIsHandled();
    void commandLineOfTwoWordsConnectsWithoutShowingTheDialog();
    void commandLineOfThreeWordsTakesThePortAsText();
    void commandLineWithTwoSpacesGivesAnEmptyPort();

private:
    QTemporaryDir m_config;
};

void frmConnectTest::initTestCase() {
    QVERIFY(m_config.isValid());
    QVERIFY(listDirectory().isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QCoreApplication::setApplicationVersion(QStringLiteral(BRIMHOLD_VERSION_STRING));
}

void frmConnectTest::windowHasFixedClientSizeAndTitle() {
    frmConnect dialog(testOptions());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Brimhold - Remote Console"));
    QCOMPARE(dialog.size(), QSize(scaled(319), scaled(384)));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
}

void frmConnectTest::controlsSitAtTheirPlaces_data() {
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("place");
    auto row = [](const char* name, const char* parent, int left, int top, int width, int height) {
        QTest::newRow(name) << QString::fromLatin1(parent) << QRect(left, top, width, height);
    };
    row("Picture1", "frmConnect", 0, 0, 318, 80);
    row("imgQorRcon", "Picture1", 152, 48, 169, 33);
    row("lblVersion", "Picture1", 40, 68, 89, 17);
    row("Frame2", "frmConnect", 16, 96, 289, 113);
    row("Label1", "Frame2", 8, 24, 49, 17);
    row("txtHost", "Frame2", 72, 24, 121, 19);
    row("Label2", "Frame2", 200, 24, 41, 17);
    row("txtPort", "Frame2", 232, 24, 41, 19);
    row("Label3", "Frame2", 8, 48, 49, 17);
    row("txtPassword", "Frame2", 72, 48, 121, 19);
    row("cmdReset", "Frame2", 104, 80, 81, 25);
    row("cmdConnect", "Frame2", 192, 80, 81, 25);
    row("Frame1", "frmConnect", 16, 216, 289, 153);
    row("txtServerNaam", "Frame1", 8, 24, 177, 19);
    row("cmdSave", "Frame1", 192, 24, 81, 25);
    row("lstServers", "Frame1", 8, 48, 177, 95);
    row("cmdLoad", "Frame1", 192, 56, 81, 25);
    row("cmdRemove", "Frame1", 192, 88, 81, 25);
}

void frmConnectTest::controlsSitAtTheirPlaces() {
    QFETCH(QString, parentName);
    QFETCH(QRect, place);
    frmConnect dialog(testOptions());
    const QWidget* control = dialog.findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parentName);
    QCOMPARE(control->geometry(),
             QRect(scaled(place.left()), scaled(place.top()), scaled(place.width()), scaled(place.height())));
}

void frmConnectTest::initialTextsAndCaptions() {
    frmConnect dialog(testOptions());
    QCOMPARE(child<QGroupBox>(dialog, "Frame2")->title(), QStringLiteral("Connect"));
    QCOMPARE(child<QGroupBox>(dialog, "Frame1")->title(), QStringLiteral("Servers"));
    QCOMPARE(child<QLabel>(dialog, "Label1")->text(), QStringLiteral("Host IP:"));
    QCOMPARE(child<QLabel>(dialog, "Label2")->text(), QStringLiteral("Port:"));
    QCOMPARE(child<QLabel>(dialog, "Label3")->text(), QStringLiteral("Password:"));
    QCOMPARE(child<QPushButton>(dialog, "cmdReset")->text(), QStringLiteral("Reset"));
    QCOMPARE(child<QPushButton>(dialog, "cmdConnect")->text(), QStringLiteral("Connect"));
    QCOMPARE(child<QPushButton>(dialog, "cmdSave")->text(), QStringLiteral("Save"));
    QCOMPARE(child<QPushButton>(dialog, "cmdLoad")->text(), QStringLiteral("Load"));
    QCOMPARE(child<QPushButton>(dialog, "cmdRemove")->text(), QStringLiteral("Remove"));
    QCOMPARE(textBox(dialog, "txtHost")->text(), QString());
    QCOMPARE(textBox(dialog, "txtPort")->text(), QStringLiteral("28960"));
    QCOMPARE(textBox(dialog, "txtPassword")->text(), QString());
    QCOMPARE(textBox(dialog, "txtServerNaam")->text(), QString());
    QCOMPARE(child<QListWidget>(dialog, "lstServers")->count(), 0);
    QCOMPARE(child<QListWidget>(dialog, "lstServers")->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(!child<QListWidget>(dialog, "lstServers")->isSortingEnabled());
}

void frmConnectTest::tabOrderFollowsTheTabIndex() {
    frmConnect dialog(testOptions());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const QStringList expected{"txtHost",  "txtPort",       "txtPassword", "cmdConnect",
                               "cmdReset", "txtServerNaam", "cmdSave",     "lstServers",
                               "cmdLoad",  "cmdRemove",     "txtHost"};
    QStringList seen{QApplication::focusWidget()->objectName()};
    for (int step = 1; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(seen, expected);
}

void frmConnectTest::focusStartsInHost() {
    frmConnect dialog(testOptions());
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), textBox(dialog, "txtHost"));
}

void frmConnectTest::versionLabelShowsTheProjectVersion() {
    frmConnect dialog(testOptions());
    auto* label = child<QLabel>(dialog, "lblVersion");
    QCOMPARE(label->text(), QStringLiteral("#.## rev. ####"));
    QCOMPARE(dialog.Form_Load(QString()), frmConnect::LoadOutcome::ShowDialog);
    QCOMPARE(label->text(), expectedVersionLabel());
    QCOMPARE(label->font().family(), QStringLiteral("Franklin Gothic Medium"));
    QCOMPARE(label->font().pointSizeF(), 6.75);
    QCOMPARE(label->font().weight(), QFont::Normal);
}

void frmConnectTest::passwordShowsStarsButKeepsThePlainText() {
    frmConnect dialog(testOptions());
    dialog.show();
    QLineEdit* password = textBox(dialog, "txtPassword");
    QTest::keyClicks(password, QStringLiteral("s3 cr#t"));
    QCOMPARE(password->text(), QStringLiteral("s3 cr#t"));
    QCOMPARE(password->displayText(), QStringLiteral("*******"));
    password->setText(QStringLiteral("abc"));
    QCOMPARE(password->displayText(), QStringLiteral("***"));
}

void frmConnectTest::onlyConnectIsADefaultButton() {
    frmConnect dialog(testOptions());
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const bool isConnect = button->objectName() == QLatin1String("cmdConnect");
        QCOMPARE(button->isDefault(), isConnect);
    }
}

void frmConnectTest::enterOnAFocusedButtonPressesThatButton() {
    QTemporaryDir programDirectory;
    QVERIFY(programDirectory.isValid());
    ConnectOptions options = testOptions();
    options.programDirectory = programDirectory.path();
    frmConnect dialog(options);
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* list = child<QListWidget>(dialog, "lstServers");
    auto* connectButton = child<QPushButton>(dialog, "cmdConnect");
    QSignalSpy connectClicks(connectButton, &QPushButton::clicked);
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);
    textBox(dialog, "txtServerNaam")->setText(QStringLiteral("saved by Enter"));
    textBox(dialog, "txtHost")->setText(QStringLiteral("127.0.0.1"));

    for (const char* name : {"cmdReset", "cmdSave", "cmdLoad"}) {
        auto* button = child<QPushButton>(dialog, name);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
    }
    QCOMPARE(connectClicks.count(), 0);
    QCOMPARE(requests.count(), 0);
    QCOMPARE(list->count(), 1);

    list->setCurrentRow(0);
    auto* removeButton = child<QPushButton>(dialog, "cmdRemove");
    removeButton->setFocus();
    QTest::keyClick(removeButton, Qt::Key_Enter);
    QCOMPARE(list->count(), 0);
    QCOMPARE(connectClicks.count(), 0);

    // Back in a text box, Enter presses "Connect" again.
    textBox(dialog, "txtPort")->setFocus();
    QVERIFY(connectButton->isDefault());
    QTest::keyClick(textBox(dialog, "txtPort"), Qt::Key_Return);
    QCOMPARE(connectClicks.count(), 1);
    QCOMPARE(requests.count(), 1);
}

void frmConnectTest::hotSpotShowsThePointingHand() {
    frmConnect dialog(testOptions());
    auto* hotSpot = child<QWidget>(dialog, "imgQorRcon");
    QCOMPARE(hotSpot->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(hotSpot->focusPolicy(), Qt::NoFocus);
    QVERIFY(!hotSpot->autoFillBackground());
}

void frmConnectTest::hotSpotClickShowsTheAboutBox() {
    frmConnect dialog(testOptions());
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    textBox(dialog, "txtHost")->setText(QStringLiteral("h"));
    messageBoxes().shown.clear();
    auto* hotSpot = child<QWidget>(dialog, "imgQorRcon");

    QTest::mouseClick(hotSpot, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseClick(hotSpot, Qt::LeftButton, {}, QPoint(100, 20));

    QCOMPARE(messageBoxes().shown.size(), 2);
    for (const RecordingMessageBoxes::Shown& box : messageBoxes().shown) {
        QCOMPARE(box.kind, QStringLiteral("information"));
        QCOMPARE(box.title, QStringLiteral("Qor rcon"));
        QVERIFY(box.hadParent);
        QCOMPARE(box.text.split(QStringLiteral("\r\n")).value(1),
                 QStringLiteral("Versie: ") + expectedVersionLabel());
        QCOMPARE(box.text.split(QStringLiteral("\r\n")).size(), 11);
    }
    QCOMPARE(textBox(dialog, "txtHost")->text(), QStringLiteral("h"));
    QVERIFY(dialog.isVisible());
    // A right click is no click of the hot spot.
    QTest::mouseClick(hotSpot, Qt::RightButton, {}, QPoint(20, 10));
    QCOMPARE(messageBoxes().shown.size(), 2);
}

void frmConnectTest::resetDoesNothing() {
    frmConnect dialog(testOptions());
    dialog.Form_Load(QString());
    dialog.show();
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);
    textBox(dialog, "txtHost")->setText(QStringLiteral("h"));
    textBox(dialog, "txtPort")->setText(QStringLiteral("1"));
    textBox(dialog, "txtPassword")->setText(QStringLiteral("p"));
    textBox(dialog, "txtServerNaam")->setText(QStringLiteral("n"));
    QTest::mouseClick(child<QPushButton>(dialog, "cmdReset"), Qt::LeftButton);
    QCOMPARE(textBox(dialog, "txtHost")->text(), QStringLiteral("h"));
    QCOMPARE(textBox(dialog, "txtPort")->text(), QStringLiteral("1"));
    QCOMPARE(textBox(dialog, "txtPassword")->text(), QStringLiteral("p"));
    QCOMPARE(textBox(dialog, "txtServerNaam")->text(), QStringLiteral("n"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(requests.count(), 0);
}

void frmConnectTest::escapeDoesNotCloseButTheCloseBoxDoes() {
    frmConnect dialog(testOptions());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(textBox(dialog, "txtHost"), Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
}

void frmConnectTest::unusableCommandLineShowsTheDialogWithANotice_data() {
    QTest::addColumn<QString>("argumentText");
    QTest::newRow("one word") << QStringLiteral("127.0.0.1");
    QTest::newRow("four words") << QStringLiteral("127.0.0.1 28960 pw extra");
    QTest::newRow("two spaces in four") << QStringLiteral("127.0.0.1  28960 pw");
}

void frmConnectTest::unusableCommandLineShowsTheDialogWithANotice() {
    QFETCH(QString, argumentText);
    frmConnect dialog(testOptions());
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);
    QCOMPARE(dialog.Form_Load(argumentText), frmConnect::LoadOutcome::ShowDialog);
    QCOMPARE(requests.count(), 0);
    QCOMPARE(textBox(dialog, "txtHost")->text(), QString());
    QCOMPARE(textBox(dialog, "txtPort")->text(), QStringLiteral("28960"));
    QCOMPARE(textBox(dialog, "txtPassword")->text(), QString());
    QVERIFY(child<QLabel>(dialog, "lblNotice")->text().contains(QStringLiteral("host [port] password")));
}

void frmConnectTest::enterInEveryTextBoxPressesConnect_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    QTest::newRow("txtHost") << QStringLiteral("txtHost") << int(Qt::Key_Return);
    QTest::newRow("txtPort") << QStringLiteral("txtPort") << int(Qt::Key_Return);
    QTest::newRow("txtPassword") << QStringLiteral("txtPassword") << int(Qt::Key_Enter);
    QTest::newRow("txtServerNaam") << QStringLiteral("txtServerNaam") << int(Qt::Key_Return);
}

void frmConnectTest::enterInEveryTextBoxPressesConnect() {
    QFETCH(QString, box);
    QFETCH(int, key);
    frmConnect dialog(testOptions());
    dialog.Form_Load(QString());
    textBox(dialog, "txtHost")->setText(QStringLiteral("127.0.0.1"));
    textBox(dialog, "txtPassword")->setText(QStringLiteral("secret"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QSignalSpy connectClicks(child<QPushButton>(dialog, "cmdConnect"), &QPushButton::clicked);
    QSignalSpy saveClicks(child<QPushButton>(dialog, "cmdSave"), &QPushButton::clicked);
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    QLineEdit* target = dialog.findChild<QLineEdit*>(box);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));

    QTRY_COMPARE(connectClicks.count(), 1);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.first(), request("127.0.0.1", "28960", "secret"));
    QCOMPARE(saveClicks.count(), 0);
}

void frmConnectTest::connectHandsOverTheTextsAndClosesTheDialog() {
    frmConnect dialog(testOptions());
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    textBox(dialog, "txtHost")->setText(QStringLiteral(" 127.0.0.1"));
    textBox(dialog, "txtPort")->setText(QStringLiteral("27960 "));
    textBox(dialog, "txtPassword")->setText(QStringLiteral("s3cr#t"));
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    QTest::mouseClick(child<QPushButton>(dialog, "cmdConnect"), Qt::LeftButton);

    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.first(), request(" 127.0.0.1", "27960 ", "s3cr#t"));
    QVERIFY(!dialog.isVisible());
}

void frmConnectTest::noSecondRequestWhileTheFirstIsHandled() {
    frmConnect dialog(testOptions());
    dialog.Form_Load(QString());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    textBox(dialog, "txtHost")->setText(QStringLiteral("127.0.0.1"));
    auto* connectButton = child<QPushButton>(dialog, "cmdConnect");
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    bool visibleDuringRequest = false;
    bool enabledDuringRequest = true;
    connect(&dialog, &frmConnect::connectRequested, this, [&] {
        visibleDuringRequest = dialog.isVisible();
        enabledDuringRequest = dialog.isEnabled();
        QTest::mouseClick(connectButton, Qt::LeftButton);
        QTest::keyClick(textBox(dialog, "txtHost"), Qt::Key_Return);
        connectButton->click();
        dialog.cmdConnect_Click();
    });
    dialog.cmdConnect_Click();

    QCOMPARE(requests.count(), 1);
    QVERIFY(visibleDuringRequest);
    QVERIFY(!enabledDuringRequest);
    QVERIFY(!dialog.isVisible());
    dialog.cmdConnect_Click();  // the dialog is done for good
    QCOMPARE(requests.count(), 1);
}

void frmConnectTest::commandLineOfTwoWordsConnectsWithoutShowingTheDialog() {
    frmConnect dialog(testOptions());
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);
    bool everShown = false;
    struct ShowWatcher : QObject {
        bool* flag;
        explicit ShowWatcher(bool* f) : flag(f) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                *flag = true;
            }
            return false;
        }
    } watcher(&everShown);
    dialog.installEventFilter(&watcher);

    QCOMPARE(dialog.Form_Load(QStringLiteral("127.0.0.1 pw")), frmConnect::LoadOutcome::ConnectRequested);

    QVERIFY(!everShown);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.first(), request("127.0.0.1", "28960", "pw"));
    QCOMPARE(textBox(dialog, "txtPort")->text(), QStringLiteral("28960"));
}

void frmConnectTest::commandLineOfThreeWordsTakesThePortAsText() {
    frmConnect dialog(testOptions());
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    QCOMPARE(dialog.Form_Load(QStringLiteral("127.0.0.1 0027960 pw")),
             frmConnect::LoadOutcome::ConnectRequested);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.first(), request("127.0.0.1", "0027960", "pw"));
}

void frmConnectTest::commandLineWithTwoSpacesGivesAnEmptyPort() {
    frmConnect dialog(testOptions());
    QSignalSpy requests(&dialog, &frmConnect::connectRequested);

    QCOMPARE(dialog.Form_Load(QStringLiteral("127.0.0.1  pw")), frmConnect::LoadOutcome::ConnectRequested);

    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.first(), request("127.0.0.1", "", "pw"));
}

QTEST_MAIN(frmConnectTest)
#include "frmConnectTest.moc"
