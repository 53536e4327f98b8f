#pragma once

#include "rcon/SystemClock.h"
#include "console/CommandHistory.h"
#include "console/CommandMenus.h"
#include "console/ConsoleOptions.h"
#include "console/ProbeWait.h"
#include "console/Transcript.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>

class QCloseEvent;
class QResizeEvent;
class QEvent;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace brimhold::rcon {
class CommandSender;
class RconSocket;
}  // namespace brimhold::rcon

namespace brimhold::console {

class QuickCommandMenus;

class ColourCodeHighlighter;
class InputPrompter;
class TranscriptMirror;
class frmPlayers;

// The console window: probes the rcon server once on start-up, shows every reply in the output box,
// sends typed and menu commands with a recall history of the last 512 and, when closed, saves the
// connection settings and ends the program.
class frmMain final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    static constexpr int kQuickButtonCount = 4;

    explicit frmMain(ConsoleOptions options = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // True once the probe answer has been seen; never set back to false.
    bool Connected = false;
    // Exactly as typed in the connection dialog; set them before showAndStartUp().
    QString rconIP, rconPort, rconPassword;

    // Shows the window and runs the start-up: reads the server's rcon mode from the mode file, points
    // the socket at rconIP:rconPort, sends the probe and waits, processing events, until the answer, the
    // time limit, a connection failure or the window's close. Returns when the start-up has ended
    // ("Connected" or "Timed out" shown).
    void showAndStartUp();

    // Sends the request for the command with rconPassword, in the server's rcon mode: one datagram
    // carrying the password (plain, also before the start-up), one signed datagram (time), or a
    // challenge query and then the signed datagram (challenge); no echo, no history.
    void SendCommand(const QString& command);

    // Appends the text and CR LF to the transcript, trims it and scrolls to the end.
    void AppendOutput(const QString& text);
    void AppendOutput(const QByteArray& bytes);

    // The transcript as bytes, counted exactly (the output box shows it but is never read back).
    const Transcript& transcript() const { return m_transcript; }

    // Handles one reply datagram: drops the header, recognises the probe answer, shows the rest. In
    // challenge mode a challenge is taken for the next signed request and not shown.
    void rcon_DataArrival(const QByteArray& datagram);
    // Handles the datagrams read in one slice, in order, each as rcon_DataArrival does (the transcript
    // is appended to and trimmed per datagram), and updates the output box once for all of them.
    void rcon_DataArrivalSlice(const QList<QByteArray>& datagrams);

    // Echoes ">" and the command on a line of its own, sends it, records it in the history, gives the
    // input line the focus and trims the transcript. The input line's text stays as it is.
    void RunCommand(const QString& command);

    // "Enter": echoes, sends and records the input line's text, then empties the input line and gives
    // it the focus. An empty line is sent like any other.
    void Command1_Click();

    // A key released in the input line: Up and Down recall the history (caret to the end), Page Up and
    // Page Down scroll the output box one page while the focus stays. Shift makes no difference. Sets
    // `key` to 0 when it handled the key.
    void Text2_KeyUp(int& key);

    // Characters typed while the output box has the focus: anything but a control character goes to
    // the end of the input line, which takes the focus. Returns true when it took the characters.
    bool Text1_KeyPress(const QString& characters);

    // Keeps the restored window at least 3000 x 3000 twips (outer size) and fits the controls to the
    // client area; while the window is minimized nothing moves.
    void Form_Resize();

    // Pops up the quick button's menu with its top-left corner at the button's lower-left corner and
    // returns when the menu has closed. Nothing happens for an index outside 0..3 or while the button
    // is disabled (before the probe is answered).
    void cmdRconCommandButton_Click(int index);

    // Menu item clicks: each carries out its group's row for `index`, running at most one command
    // through RunCommand as its last action. Separators, submenu parents and unknown indexes do nothing.
    void mnuStatus_Click(int index);
    void mnuPassword_Click(int index);
    void mnuGameType_Click(int index);
    void mnuMaps_Click(int index);
    void mnuMapchange_Click(int index);
    void mnuPamMode_Click(int index);
    void mnuPunkbuster_Click(int index);

    // The recall history of typed and menu commands.
    int16_t HistoryCount() const { return m_history.HistoryCount(); }
    int16_t HistoryPos() const { return m_history.HistoryPos(); }
    QString History(int slot) const { return m_history.History(slot); }

    // The command menus; the top-level ones are named "menuStatus", "menuMaps", "menuPamMode" and
    // "menuPunkbuster".
    const QuickCommandMenus& menus() const { return *m_menus; }

    // F2 and "Players...": opens the players window for this server, or raises the open one.
    void showPlayers();
    // The players window; null until it is first opened.
    frmPlayers* players() const { return m_players; }

    // "Show colours": the output box draws colour codes as colours, the codes hidden. Only the view
    // changes; the transcript and the box's text stay as they are.
    void setShowColours(bool show);
    bool showsColours() const { return m_highlighter != nullptr; }

    // The output box's context menu: the box's standard entries, a separator, "Show colours" and
    // "Players..." (F2).
    std::unique_ptr<QMenu> createOutputContextMenu(const QPoint& position);

    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* cmdRconCommandButton[kQuickButtonCount] = {};
    rcon::RconSocket* rcon = nullptr;

public slots:
    // Escape and "Sluiten" close the window, which runs the closing sequence.
    void reject() override;

protected:
    // Closing sequence: close the socket, save the settings, end the program. Never cancels.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The two steps of an append: insert at the end without trimming (the start-up's texts stop here),
    // then apply the trim rule and scroll to the end.
    void appendToTranscript(const QByteArray& bytes);
    void trimTranscript();

    void createControls();
    void createMenus();
    void placeControl(QWidget* control, int left, int top, int width, int height);
    void setTabOrderOfControls();
    qreal logicalDpi() const;
    int twipsToPixels(float twips) const;
    void keepMinimumOuterSize();
    void arrangeControls();
    void scrollOutputBoxOnePage(bool up);
    void runMenuItem(MenuGroup group, int index);
    void onMenuItemClicked(MenuGroup group, int index);
    void showOutputContextMenu(const QPoint& position);

    void waitForFirstFrame();
    ProbeWait::End waitForProbeAnswer();
    void finishStartUp(ProbeWait::End end, const QString& failure);
    void enableCommands();
    void onRconFailed(const QString& message);
    void saveSettings();
    void endProgram();

    ConsoleOptions m_options;
    Transcript m_transcript;
    std::unique_ptr<TranscriptMirror> m_mirror;
    CommandHistory m_history;
    std::shared_ptr<InputPrompter> m_prompter;
    QuickCommandMenus* m_menus = nullptr;
    // The start-up's wait; null before the start-up, a child of the window from then on.
    ProbeWait* m_probeWait = nullptr;
    rcon::SystemClock m_clock;
    // Frames the requests in the server's rcon mode; null before the start-up.
    std::unique_ptr<rcon::CommandSender> m_sender;
    bool m_closed = false;
    frmPlayers* m_players = nullptr;
    std::unique_ptr<ColourCodeHighlighter> m_highlighter;  // while colours are shown
};

}  // namespace brimhold::console
