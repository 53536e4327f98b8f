#include "console/frmMain.h"

#include "codepage/Windows1252.h"
#include "rcon/AuthModeStore.h"
#include "rcon/CommandSender.h"
#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "rcon/SystemClock.h"
#include "console/ColourCodeHighlighter.h"
#include "console/CommandFlows.h"
#include "console/ConsoleLayout.h"
#include "console/FirstFrameTrigger.h"
#include "console/InputDialogPrompter.h"
#include "console/MirrorBatch.h"
#include "console/QuickCommandMenus.h"
#include "console/SettingsWriter.h"
#include "console/TranscriptMirror.h"
#include "console/frmPlayers.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace brimhold::console {

namespace {
const QString kWindowTitle = QStringLiteral("Brimhold - Remote Console");
constexpr double kTextBoxFontPoints = 9.75;
// Typed characters below this value (Backspace, Tab, Enter, Escape, ...) stay with the output box.
constexpr char16_t kFirstTypedCharacter = 31;
// The longest the start-up waits for the window's first frame before it connects, for a window that is
// not drawn (one that starts minimised, say).
constexpr int kFirstFrameWaitMs = 250;
constexpr char16_t kDeleteCharacter = 127;

// Single-byte Latin text in a fixed-pitch font needs neither kerning nor complex shaping; skipping them
// makes laying out each appended line about a third cheaper. Both are set before the font is first
// matched: they are part of what Qt caches a font engine by, so setting them later would load a second
// engine for the same face.
QFont withoutShaping(QFont font) {
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QFont textBoxFont() {
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(kTextBoxFontPoints);
    font.setWeight(QFont::Normal);
    font = withoutShaping(font);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(kTextBoxFontPoints);
        font = withoutShaping(font);
    }
    return font;
}

// Buttons stay auto-default: Enter on a focused button presses that button, and once the focus leaves it
// the window's default button ("Enter") takes Enter again.
QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(true);
    return button;
}

}  // namespace

frmMain::frmMain(ConsoleOptions options, QWidget* parent) : QDialog(parent), m_options(std::move(options)) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(kWindowTitle);
    resize(twipsToPixels(ConsoleLayout::kInitialClientSize.width),
           twipsToPixels(ConsoleLayout::kInitialClientSize.height));
    createControls();
    setTabOrderOfControls();
    createMenus();
    m_mirror = std::make_unique<TranscriptMirror>(Text1);
    m_prompter = m_options.prompter ? m_options.prompter : std::make_shared<InputDialogPrompter>(this);
    keepMinimumOuterSize();

    rcon = new rcon::RconSocket(this);
    rcon->setObjectName(QStringLiteral("rcon"));
    connect(rcon, &rcon::RconSocket::datagramsReceived, this, &frmMain::rcon_DataArrivalSlice);
    connect(rcon, &rcon::RconSocket::failed, this, &frmMain::onRconFailed);
    connect(Command2, &QPushButton::clicked, this, &frmMain::close);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    for (int index = 0; index < kQuickButtonCount; ++index) {
        connect(cmdRconCommandButton[index], &QPushButton::clicked, this,
                [this, index] { cmdRconCommandButton_Click(index); });
    }
    Text1->installEventFilter(this);
    Text2->installEventFilter(this);

    Text1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text1, &QWidget::customContextMenuRequested, this, &frmMain::showOutputContextMenu);
    auto* playersKey = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(playersKey, &QShortcut::activated, this, &frmMain::showPlayers);
}

frmMain::~frmMain() = default;

void frmMain::createControls() {
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(textBoxFont());
    Text2->setMaxLength(std::numeric_limits<int>::max());  // QLineEdit would cut a paste at 32767
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

    for (const QuickButton& quick : CommandMenus::quickButtons()) {
        QPushButton* button = makeButton(this, QStringLiteral("cmdRconCommandButton%1").arg(quick.index),
                                         QString(quick.caption));
        button->setToolTip(QString(quick.toolTip));
        button->setEnabled(false);
        placeControl(button, 9360, int(ConsoleLayout::kQuickButtonTops[std::size_t(quick.index)]), 1335, 375);
        cmdRconCommandButton[quick.index] = button;
    }
}

void frmMain::createMenus() {
    m_menus = new QuickCommandMenus(this);
    connect(m_menus, &QuickCommandMenus::itemClicked, this, &frmMain::onMenuItemClicked);
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

qreal frmMain::logicalDpi() const {
    const QScreen* screen = this->screen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

int frmMain::twipsToPixels(float twips) const {
    return ConsoleLayout::twipsToPixels(twips, logicalDpi());
}

void frmMain::showAndStartUp() {
    show();
    Connected = false;
    m_probeWait = new ProbeWait({std::chrono::milliseconds(m_options.probeTimeLimitMs),
                                 std::chrono::milliseconds(m_options.progressIntervalMs)},
                                {}, this);
    connect(m_probeWait, &ProbeWait::dot, this, [this] { appendToTranscript("."); });
    m_sender = std::make_unique<rcon::CommandSender>(
        rcon::AuthModeStore(m_options.authModeFile).modeOf(rconIP, rconPort),
        [this](const QByteArray& datagram) { rcon->send(datagram); }, m_clock);
    // The socket starts behind the first frame: the window does not wait for the network code to load
    // and the socket's thread to start.
    QPointer<frmMain> alive(this);
    waitForFirstFrame();
    if (!alive || m_closed) {
        return;
    }
    rcon->connectToServer(rconIP, rconPort);
    SendCommand(QString::fromLatin1(rcon::RconProtocol::kProbeCommand));
    appendToTranscript(
        codepage::Windows1252::fromUnicode(QStringLiteral("Rcon on %1:%2.").arg(rconIP, rconPort)));

    const ProbeWait::End end = waitForProbeAnswer();
    if (!alive || end == ProbeWait::End::Closed) {
        return;
    }
    finishStartUp(end, m_probeWait->failure());
}

// Runs a local event loop until the window's first frame is on the screen, for kFirstFrameWaitMs at
// most, or until the window is destroyed under it.
void frmMain::waitForFirstFrame() {
    QEventLoop loop;
    const QPointer<FirstFrameTrigger> trigger = new FirstFrameTrigger(this, [&loop] { loop.quit(); });
    QTimer::singleShot(kFirstFrameWaitMs, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    delete trigger;  // one that has not fired must not reach the loop once it is gone
}

// Runs a local event loop until the wait ends or the window is destroyed under it (which counts as
// closed).
ProbeWait::End frmMain::waitForProbeAnswer() {
    ProbeWait::End end = ProbeWait::End::Closed;
    QEventLoop loop;
    connect(m_probeWait, &ProbeWait::ended, &loop, [&end, &loop](ProbeWait::End how) {
        end = how;
        loop.quit();
    });
    connect(m_probeWait, &QObject::destroyed, &loop, &QEventLoop::quit);
    m_probeWait->start();
    if (!m_probeWait->hasEnded()) {
        loop.exec();
    }
    return end;
}

void frmMain::finishStartUp(ProbeWait::End end, const QString& failure) {
    if (end == ProbeWait::End::Failed) {
        appendToTranscript("\r\n" + codepage::Windows1252::fromUnicode(failure) + "\r\n");
    }
    if (end != ProbeWait::End::Answered) {
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
    const QByteArray password = codepage::Windows1252::fromUnicode(rconPassword);
    const QByteArray bytes = codepage::Windows1252::fromUnicode(command);
    if (m_sender) {
        m_sender->sendCommand(password, bytes);
    } else {
        rcon->send(rcon::RconProtocol::request(password, bytes));
    }
}

void frmMain::rcon_DataArrival(const QByteArray& datagram) {
    rcon_DataArrivalSlice({datagram});
}

void frmMain::rcon_DataArrivalSlice(const QList<QByteArray>& datagrams) {
    MirrorBatch batch;
    for (const QByteArray& datagram : datagrams) {
        if (m_sender && m_sender->takeDatagram(datagram)) {
            continue;
        }
        const rcon::RconProtocol::Reply reply = rcon::RconProtocol::readReply(datagram, Connected);
        if (reply.answersProbe) {
            Connected = true;
            if (m_probeWait) {
                m_probeWait->answered();
            }
            continue;
        }
        Transcript::Appended appended;
        const Transcript::Trimmed trimmed = m_transcript.appendLineAndTrim(reply.text, &appended);
        batch.add(appended);
        batch.add(trimmed);
    }
    m_mirror->showBatch(batch);
}

void frmMain::AppendOutput(const QString& text) {
    AppendOutput(codepage::Windows1252::fromUnicode(text));
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
    if (m_probeWait && !m_probeWait->hasEnded()) {
        m_probeWait->failed(message);
        return;
    }
    // A failure reported after the start-up (a late lookup, a send) may follow "Timed out" directly.
    if (m_transcript.length() > 0 && !m_transcript.text().endsWith("\r\n")) {
        appendToTranscript("\r\n");
    }
    AppendOutput(message);
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
    if (m_probeWait) {
        m_probeWait->closed();
    }
    if (m_players) {
        m_players->close();
    }
    rcon->close();
    saveSettings();
    endProgram();
}

void frmMain::saveSettings() {
    const QString application = m_options.settingsApplicationName.isEmpty()
                                    ? QCoreApplication::applicationName()
                                    : m_options.settingsApplicationName;
    const QString path = QSettings(application, application).fileName();
    // Standard error through stdio: the program has no other use for iostreams, whose set-up at start
    // would cost every start.
    SettingsWriter(path, [](const std::string& line) {
        std::fputs(line.c_str(), stderr);
    }).save(rconIP, rconPort, rconPassword);
}

void frmMain::endProgram() {
    if (m_options.endProgram) {
        m_options.endProgram();
    } else {
        QCoreApplication::exit(0);
    }
}

void frmMain::RunCommand(const QString& command) {
    m_mirror->scrollToEnd();
    appendToTranscript(codepage::Windows1252::fromUnicode(QLatin1Char('>') + command) + "\r\n");
    SendCommand(command);
    m_history.record(command);
    Text2->setFocus();
    trimTranscript();
}

void frmMain::Command1_Click() {
    const QString command = Text2->text();
    AppendOutput(QLatin1Char('>') + command);
    SendCommand(command);
    m_history.record(command);
    Text2->clear();
    Text2->setFocus();
}

void frmMain::Text2_KeyUp(int& key) {
    switch (key) {
        case Qt::Key_PageUp:
            scrollOutputBoxOnePage(true);
            break;
        case Qt::Key_PageDown:
            scrollOutputBoxOnePage(false);
            break;
        case Qt::Key_Up:
            Text2->setText(m_history.recallUp());
            Text2->end(false);
            break;
        case Qt::Key_Down:
            Text2->setText(m_history.recallDown());
            Text2->end(false);
            break;
        default:
            return;
    }
    key = 0;
}

// The scroll bar's page step is one screenful of lines; the output box's caret and the focus stay put,
// and the next append scrolls back to the end as always.
void frmMain::scrollOutputBoxOnePage(bool up) {
    Text1->verticalScrollBar()->triggerAction(up ? QAbstractSlider::SliderPageStepSub
                                                 : QAbstractSlider::SliderPageStepAdd);
}

bool frmMain::Text1_KeyPress(const QString& characters) {
    if (characters.isEmpty()) {
        return false;
    }
    for (const QChar character : characters) {
        if (character.unicode() < kFirstTypedCharacter || character.unicode() == kDeleteCharacter) {
            return false;
        }
    }
    Text2->setFocus();
    Text2->end(false);
    Text2->insert(characters);
    return true;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2 && event->type() == QEvent::KeyRelease) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        // A held key repeats its presses; like the press that started it, it counts once, on release.
        if (keyEvent->isAutoRepeat()) {
            return false;
        }
        int key = keyEvent->key();
        Text2_KeyUp(key);
        return key == 0;
    }
    // A printable character is taken over by the input line and never reaches the output box, where
    // Space would otherwise scroll a page.
    // Ctrl and Meta combinations are the output box's shortcuts (copy, select all), not typing; with
    // Alt as well they can be AltGr characters.
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = keyEvent->modifiers();
        const bool shortcut =
            (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier);
        return !shortcut && Text1_KeyPress(keyEvent->text());
    }
    return QDialog::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

void frmMain::Form_Resize() {
    keepMinimumOuterSize();
    arrangeControls();
}

// The minimum applies to the outer size, frame included; Qt's minimum is the client size, so the
// frame's share is taken off. Raising the minimum enlarges a window that is smaller.
void frmMain::keepMinimumOuterSize() {
    const QSize frame = frameGeometry().size() - size();
    const int minimumOuter = twipsToPixels(ConsoleLayout::kMinimumOuterTwips);
    const QSize minimumClient(std::max(0, minimumOuter - frame.width()),
                              std::max(0, minimumOuter - frame.height()));
    if (minimumSize() != minimumClient) {
        setMinimumSize(minimumClient);
    }
}

void frmMain::arrangeControls() {
    const qreal dpi = logicalDpi();
    const TwipsSize client{ConsoleLayout::pixelsToTwips(width(), dpi),
                           ConsoleLayout::pixelsToTwips(height(), dpi)};
    const std::optional<ConsoleGeometry> geometry = ConsoleLayout::arrange(client, isMinimized());
    if (!geometry) {
        return;
    }
    Text1->setGeometry(geometry->Text1.toPixels(dpi));
    Text2->setGeometry(geometry->Text2.toPixels(dpi));
    Command1->setGeometry(geometry->Command1.toPixels(dpi));
    Command2->setGeometry(geometry->Command2.toPixels(dpi));
    for (int index = 0; index < kQuickButtonCount; ++index) {
        cmdRconCommandButton[index]->setGeometry(geometry->cmdRconCommandButton[index].toPixels(dpi));
    }
}

void frmMain::cmdRconCommandButton_Click(int index) {
    QMenu* menu = m_menus->topMenu(index);
    if (!menu || !cmdRconCommandButton[index]->isEnabled()) {
        return;
    }
    const QPushButton* button = cmdRconCommandButton[index];
    menu->exec(mapToGlobal(QPoint(button->x(), button->y() + button->height())));
}

void frmMain::onMenuItemClicked(MenuGroup group, int index) {
    switch (group) {
        case MenuGroup::mnuStatus:
            return mnuStatus_Click(index);
        case MenuGroup::mnuPassword:
            return mnuPassword_Click(index);
        case MenuGroup::mnuGameType:
            return mnuGameType_Click(index);
        case MenuGroup::mnuMaps:
            return mnuMaps_Click(index);
        case MenuGroup::mnuMapchange:
            return mnuMapchange_Click(index);
        case MenuGroup::mnuPamMode:
            return mnuPamMode_Click(index);
        case MenuGroup::mnuPunkbuster:
            return mnuPunkbuster_Click(index);
    }
}

void frmMain::mnuStatus_Click(int index) {
    runMenuItem(MenuGroup::mnuStatus, index);
}

void frmMain::mnuPassword_Click(int index) {
    runMenuItem(MenuGroup::mnuPassword, index);
}

void frmMain::mnuGameType_Click(int index) {
    runMenuItem(MenuGroup::mnuGameType, index);
}

void frmMain::mnuMaps_Click(int index) {
    runMenuItem(MenuGroup::mnuMaps, index);
}

void frmMain::mnuMapchange_Click(int index) {
    runMenuItem(MenuGroup::mnuMapchange, index);
}

void frmMain::mnuPamMode_Click(int index) {
    runMenuItem(MenuGroup::mnuPamMode, index);
}

void frmMain::mnuPunkbuster_Click(int index) {
    runMenuItem(MenuGroup::mnuPunkbuster, index);
}

void frmMain::runMenuItem(MenuGroup group, int index) {
    CommandFlows flows(*m_prompter);
    if (const std::optional<QString> command = flows.commandFor(CommandMenus::action(group, index))) {
        RunCommand(*command);
    }
}

std::unique_ptr<QMenu> frmMain::createOutputContextMenu(const QPoint& position) {
    std::unique_ptr<QMenu> menu(Text1->createStandardContextMenu(position));
    menu->addSeparator();
    QAction* colours = menu->addAction(QStringLiteral("Show colours"));
    colours->setCheckable(true);
    colours->setChecked(showsColours());
    connect(colours, &QAction::toggled, this, &frmMain::setShowColours);
    QAction* players = menu->addAction(QStringLiteral("Players..."), this, &frmMain::showPlayers);
    players->setShortcut(QKeySequence(Qt::Key_F2));
    players->setShortcutVisibleInContextMenu(true);
    return menu;
}

void frmMain::showOutputContextMenu(const QPoint& position) {
    createOutputContextMenu(position)->exec(Text1->viewport()->mapToGlobal(position));
}

void frmMain::setShowColours(bool show) {
    if (show == showsColours()) {
        return;
    }
    // A highlighter that goes takes its colours off the document's lines again.
    m_highlighter =
        show ? std::make_unique<ColourCodeHighlighter>(Text1->document(), GameColours(Text1->palette()))
             : nullptr;
}

void frmMain::showPlayers() {
    if (!m_players) {
        frmPlayers::Setup setup;
        setup.host = rconIP;
        setup.port = rconPort;
        setup.password = rconPassword;
        setup.mode = m_sender ? m_sender->mode() : rcon::AuthMode::Plain;
        setup.runCommand = [this](const QString& command) { RunCommand(command); };
        setup.prompter = m_options.prompter;
        m_players = new frmPlayers(std::move(setup), this);
    }
    m_players->show();
    m_players->raise();
    m_players->activateWindow();
}

}  // namespace brimhold::console
