#include "frmMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <algorithm>

#include "RconProtocol.h"
#include "RconSocket.h"
#include "TranscriptMirror.h"
#include "Windows1252.h"

namespace {
const QString WindowTitle = QStringLiteral("Brimhold - Remote Console");
constexpr int ClientWidthTwips = 10815;
constexpr int ClientHeightTwips = 7455;
constexpr int TwipsPerPixelAt96Dpi = 15;
constexpr double TextBoxFontPoints = 9.75;

struct QuickButton {
    const char* caption;
    const char* toolTip;
    int top;
};
constexpr QuickButton QuickButtons[frmMain::QuickButtonCount] = {
    {"Status", "Show who is in the game and the current map", 120},
    {"Map", "Change map", 600},
    {"PAM", "Change PAM mode", 1080},
    {"Punkbuster", "Punkbuster options", 1560},
};

QFont textBoxFont() {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(TextBoxFontPoints);
    font.setWeight(QFont::Normal);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(TextBoxFontPoints);
    }
    // Single-byte Latin text in a fixed-pitch font needs neither kerning nor complex shaping; skipping
    // them makes laying out each appended line about a third cheaper.
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

// The settings file holds the password in plain text: make sure it exists with owner-only permissions
// before QSettings writes it (it keeps an existing file's permissions).
void createPrivateFile(const QString& path) {
    if (QFileInfo::exists(path)) {
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
}  // namespace

frmMain::frmMain(ConsoleOptions options, QWidget* parent) : QDialog(parent), m_options(std::move(options)) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(WindowTitle);
    resize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    createControls();
    setTabOrderOfControls();
    m_mirror = new TranscriptMirror(Text1);

    rcon = new RconSocket(this);
    rcon->setObjectName(QStringLiteral("rcon"));
    connect(rcon, &RconSocket::datagramReceived, this, &frmMain::rcon_DataArrival);
    connect(rcon, &RconSocket::failed, this, &frmMain::onRconFailed);
    connect(Command2, &QPushButton::clicked, this, &frmMain::close);
}

frmMain::~frmMain() {
    delete m_mirror;
}

void frmMain::createControls() {
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(textBoxFont());
    placeControl(Text2, 0, 7080, 8415, 375);

    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("Enter"));
    Command1->setDefault(true);
    Command1->setEnabled(false);
    placeControl(Command1, 8400, 7080, 1215, 375);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(textBoxFont());
    Text1->setReadOnly(true);
    Text1->setUndoRedoEnabled(false);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    placeControl(Text1, 0, 0, 9255, 7095);

    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Sluiten"));
    placeControl(Command2, 9600, 7080, 1215, 375);

    for (int index = 0; index < QuickButtonCount; ++index) {
        const QuickButton& spec = QuickButtons[index];
        QPushButton* button = makeButton(this, QStringLiteral("cmdRconCommandButton%1").arg(index),
                                         QString::fromLatin1(spec.caption));
        button->setToolTip(QString::fromLatin1(spec.toolTip));
        button->setEnabled(false);
        placeControl(button, 9360, spec.top, 1335, 375);
        cmdRconCommandButton[index] = button;
    }
}

void frmMain::placeControl(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                         twipsToPixels(height));
}

void frmMain::setTabOrderOfControls() {
    QWidget* order[] = {Text2,
                        Command1,
                        Text1,
                        Command2,
                        cmdRconCommandButton[0],
                        cmdRconCommandButton[1],
                        cmdRconCommandButton[2],
                        cmdRconCommandButton[3]};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    Text2->setFocus();
}

int frmMain::twipsToPixels(int twips) const {
    const QScreen* screen = this->screen();
    const double dpiScale = screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
    return qRound(twips * dpiScale / TwipsPerPixelAt96Dpi);
}

void frmMain::showAndStartUp() {
    show();
    Connected = false;
    m_phase = StartUpPhase::Waiting;
    rcon->connectToServer(rconIP, rconPort);
    SendCommand(QString::fromLatin1(RconProtocol::ProbeCommand));
    appendToTranscript(Windows1252::fromUnicode(QStringLiteral("Rcon on %1:%2.").arg(rconIP, rconPort)));

    QPointer<frmMain> alive(this);
    const WaitEnd end = waitForProbeAnswer();
    if (!alive || end == WaitEnd::Closed) {
        return;
    }
    finishStartUp(end);
}

frmMain::WaitEnd frmMain::waitForProbeAnswer() {
    const qint64 limitNs = qint64(m_options.probeTimeLimitMs) * 1000000;
    const qint64 intervalNs = qint64(m_options.progressIntervalMs) * 1000000;
    qint64 thresholdNs = 0;
    QElapsedTimer clock;
    clock.start();

    QPointer<frmMain> alive(this);
    QEventLoop loop;
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    connect(&wakeUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_probeWait = &loop;

    // Bounded by the time limit: every pass sleeps until the next dot or the limit unless the probe
    // answer, a connection failure or the window's close wakes it, and each of those ends the wait.
    WaitEnd end = WaitEnd::TimedOut;
    while (true) {
        if (Connected) {
            end = WaitEnd::Answered;
            break;
        }
        if (m_closed) {
            end = WaitEnd::Closed;
            break;
        }
        if (!m_startUpFailure.isEmpty()) {
            end = WaitEnd::Failed;
            break;
        }
        const qint64 untilDot = thresholdNs - clock.nsecsElapsed();
        const qint64 untilLimit = limitNs - clock.nsecsElapsed();
        const qint64 untilNextMs = std::max<qint64>(0, std::min(untilDot, untilLimit) / 1000000 + 1);
        wakeUp.start(int(untilNextMs));
        loop.exec();
        if (!alive) {
            return WaitEnd::Closed;
        }
        if (m_closed) {
            end = WaitEnd::Closed;
            break;
        }
        if (clock.nsecsElapsed() > thresholdNs) {
            appendToTranscript(".");
            thresholdNs += intervalNs;
        }
        if (clock.nsecsElapsed() > limitNs) {
            break;
        }
    }
    m_probeWait = nullptr;
    return end;
}

void frmMain::finishStartUp(WaitEnd end) {
    m_phase = StartUpPhase::Done;
    if (end == WaitEnd::Failed) {
        appendToTranscript("\r\n" + Windows1252::fromUnicode(m_startUpFailure) + "\r\n");
    }
    if (end != WaitEnd::Answered) {
        appendToTranscript("Timed out");
        if (!Connected) {
            m_mirror->scrollToEnd();
            return;
        }
    }
    appendToTranscript("Connected\r\n");
    m_mirror->scrollToEnd();
    enableCommands();
}

void frmMain::enableCommands() {
    Command1->setEnabled(true);
    for (QPushButton* button : cmdRconCommandButton) {
        button->setEnabled(true);
    }
}

void frmMain::SendCommand(const QString& command) {
    rcon->send(
        RconProtocol::request(Windows1252::fromUnicode(rconPassword), Windows1252::fromUnicode(command)));
}

void frmMain::rcon_DataArrival(const QByteArray& datagram) {
    const RconProtocol::Reply reply = RconProtocol::readReply(datagram, Connected);
    if (reply.answersProbe) {
        Connected = true;
        wakeProbeWait();
        return;
    }
    AppendOutput(reply.text);
}

void frmMain::AppendOutput(const QString& text) {
    AppendOutput(Windows1252::fromUnicode(text));
}

void frmMain::AppendOutput(const QByteArray& bytes) {
    appendToTranscript(bytes + "\r\n");
    trimTranscript();
}

void frmMain::appendToTranscript(const QByteArray& bytes) {
    m_mirror->showAppended(m_transcript.append(bytes));
}

void frmMain::trimTranscript() {
    m_mirror->showTrimmed(m_transcript.trim());
    m_mirror->scrollToEnd();
}

void frmMain::onRconFailed(const QString& message) {
    if (m_phase == StartUpPhase::Waiting) {
        if (m_startUpFailure.isEmpty()) {
            m_startUpFailure = message;
        }
        wakeProbeWait();
        return;
    }
    AppendOutput(message);
}

void frmMain::wakeProbeWait() {
    if (m_probeWait) {
        m_probeWait->quit();
    }
}

void frmMain::reject() {
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_closed) {
        return;
    }
    m_closed = true;
    wakeProbeWait();
    rcon->close();
    saveSettings();
    endProgram();
}

void frmMain::saveSettings() {
    const QString application = m_options.settingsApplicationName.isEmpty()
                                    ? QCoreApplication::applicationName()
                                    : m_options.settingsApplicationName;
    QSettings settings(application, application);
    const QString path = settings.fileName();
    createPrivateFile(path);
    settings.beginGroup(QStringLiteral("Options"));
    settings.setValue(QStringLiteral("rconIP"), rconIP);
    settings.setValue(QStringLiteral("rconPort"), rconPort);
    settings.setValue(QStringLiteral("rconPassword"), rconPassword);
    settings.endGroup();
    settings.sync();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void frmMain::endProgram() {
    if (m_options.endProgram) {
        m_options.endProgram();
    } else {
        QCoreApplication::exit(0);
    }
}
