#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

#include "ConsoleOptions.h"
#include "Transcript.h"

class QCloseEvent;
class QEventLoop;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RconSocket;
class TranscriptMirror;

// The console window: probes the rcon server once on start-up, shows every reply in the output box
// and, when closed, saves the connection settings and ends the program.
class frmMain final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    static constexpr int QuickButtonCount = 4;

    explicit frmMain(ConsoleOptions options = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // True once the probe answer has been seen; never set back to false.
    bool Connected = false;
    // Exactly as typed in the connection dialog; set them before showAndStartUp().
    QString rconIP, rconPort, rconPassword;

    // Shows the window and runs the start-up: points the socket at rconIP:rconPort, sends the probe
    // and waits, processing events, until the answer, the time limit, a connection failure or the
    // window's close. Returns when the start-up has ended ("Connected" or "Timed out" shown).
    void showAndStartUp();

    // Sends one request datagram carrying rconPassword and the command; no echo, no history.
    void SendCommand(const QString& command);

    // Appends the text and CR LF to the transcript, trims it and scrolls to the end.
    void AppendOutput(const QString& text);
    void AppendOutput(const QByteArray& bytes);

    // The two steps of an append, for callers that do other work between them: insert at the end
    // without trimming, then apply the trim rule and scroll to the end.
    void appendToTranscript(const QByteArray& bytes);
    void trimTranscript();

    // The transcript as bytes, counted exactly (the output box shows it but is never read back).
    const Transcript& transcript() const { return m_transcript; }

    // Handles one reply datagram: drops the header, recognises the probe answer, shows the rest.
    void rcon_DataArrival(const QByteArray& datagram);

    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* cmdRconCommandButton[QuickButtonCount] = {};
    RconSocket* rcon = nullptr;

public slots:
    // Escape and "Sluiten" close the window, which runs the closing sequence.
    void reject() override;

protected:
    // Closing sequence: close the socket, save the settings, end the program. Never cancels.
    void closeEvent(QCloseEvent* event) override;

private:
    enum class StartUpPhase { NotStarted, Waiting, Done };
    enum class WaitEnd { Answered, TimedOut, Failed, Closed };

    void createControls();
    void placeControl(QWidget* control, int left, int top, int width, int height);
    void setTabOrderOfControls();
    int twipsToPixels(int twips) const;

    WaitEnd waitForProbeAnswer();
    void finishStartUp(WaitEnd end);
    void enableCommands();
    void onRconFailed(const QString& message);
    void wakeProbeWait();
    void saveSettings();
    void endProgram();

    ConsoleOptions m_options;
    Transcript m_transcript;
    TranscriptMirror* m_mirror = nullptr;
    StartUpPhase m_phase = StartUpPhase::NotStarted;
    QString m_startUpFailure;
    QEventLoop* m_probeWait = nullptr;
    bool m_closed = false;
};
