#pragma once

#include "serverlist/ServerListStore.h"
#include "app/ConnectOptions.h"

#include <QDialog>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace brimhold::app {

class BannerPicture;
class CommandLine;
class ConnectDialogStyle;
class HotSpot;
class MessageBoxes;
class SecureRconMenu;

// The connection dialog, the program's first window. Its load sets the version label, opens the saved
// server list and reads the command line; its connect action hands host, port and password over through
// connectRequested(), whose receiver runs the console's start-up, then closes itself for good.
//
// The list shows the display names of the store's records in store order: row r is record r + 1, and
// rows are matched to records by that position only. Every change rebuilds the list, leaving no row
// selected.
class frmConnect final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmConnect)

public:
    enum class LoadOutcome {
        ShowDialog,        // nothing more to do in the load: show the dialog
        ConnectRequested,  // the command line ran the connect action; the dialog stays hidden
        EndProgram,        // the server list is not in order: the program ends without showing a window
    };
    enum class ServerListTiming {
        DuringLoad,       // the list is set up inside the load
        AfterFirstFrame,  // when the dialog is to be shown: right after its first frame, before any input
    };

    explicit frmConnect(ConnectOptions options = {}, QWidget* parent = nullptr);
    ~frmConnect() override;

    // The load, run once before the dialog is first shown. argumentText is the program's argument
    // text (see CommandLine); two or three words run the connect action from inside the load.
    //
    // With ServerListTiming::AfterFirstFrame and an outcome of ShowDialog, the server list is set up
    // once the shown dialog has drawn its first frame, or before the first input event if that comes
    // sooner. A list that is not in order then hides the dialog, shows the same message and emits
    // serverListNotInOrder().
    LoadOutcome Form_Load(const QString& argumentText,
                          ServerListTiming timing = ServerListTiming::DuringLoad);

    // The connect action ("Connect", Enter in any text box, the command line): disables the dialog, emits
    // connectRequested() and closes the dialog once the receivers have returned. A call while an earlier
    // one is still in connectRequested() does nothing, and so does any call after it.
    void cmdConnect_Click();

    // Rebuilds lstServers from the store; no row is selected afterwards.
    void RefreshServerList();
    // Copies the selected entry into the four text boxes; nothing without a selected row.
    void cmdLoad_Click();
    void lstServers_Click();
    // Loads the double-clicked entry, then connects.
    void lstServers_DblClick();
    // Adds the four text boxes as a new entry; an empty name adds nothing.
    void cmdSave_Click();
    // Removes the selected entry without asking.
    void cmdRemove_Click();
    // Shows the About box.
    void imgQorRcon_Click();
    // A right click on an entry: its menu, which sets the entry's rcon mode.
    void lstServers_ContextMenu(const QPoint& position);

signals:
    // The three texts exactly as typed. Emitted synchronously: the dialog stays up, disabled, until the
    // receivers return.
    void connectRequested(const QString& host, const QString& port, const QString& password);
    // A server list set up after the first frame was not in order; the user has been told, and the
    // program should end.
    void serverListNotInOrder();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int px(int pixelsAt96Dpi) const;
    void place(QWidget* widget, int left, int top, int width, int height) const;
    void buildBanner();
    void buildConnectFrame();
    void buildServersFrame();
    void buildNotice();
    void setTabOrder();
    QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption);
    QLineEdit* makeTextBox(QWidget* parent, const QString& name);
    QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption);
    void showNotice(const QString& text);
    void clearNotice();
    // Opens the store and fills the list, or disables the "Servers" frame when the store is unavailable.
    // Tells the user nothing: tellAbout() does.
    serverlist::ServerListStore::SetUp setUpServerList();
    void tellAbout(serverlist::ServerListStore::SetUp setUp);
    LoadOutcome takeCommandLine(const CommandLine& commandLine);
    void finishLoadAfterFirstFrame(const CommandLine& commandLine);
    int selectedNr() const;

    ConnectOptions m_options;
    double m_scale = 1.0;
    bool m_connecting = false;
    bool m_centred = false;
    // The style of the password box and of the frames.
    ConnectDialogStyle* m_style = nullptr;
    std::unique_ptr<MessageBoxes> m_ownMessageBoxes;
    MessageBoxes* m_messageBoxes = nullptr;
    std::unique_ptr<serverlist::ServerListStore> m_servers;
    SecureRconMenu* m_serverMenu = nullptr;

    // Controls, named as in the dialog's layout.
    BannerPicture* Picture1 = nullptr;
    HotSpot* imgQorRcon = nullptr;
    QLabel* lblVersion = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtHost = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtPort = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdConnect = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtServerNaam = nullptr;
    QPushButton* cmdSave = nullptr;
    QListWidget* lstServers = nullptr;
    QPushButton* cmdLoad = nullptr;
    QPushButton* cmdRemove = nullptr;
    // A one-line note below the frames for things the user should know but need not confirm.
    QLabel* lblNotice = nullptr;
};

}  // namespace brimhold::app
