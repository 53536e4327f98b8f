#pragma once

#include "rcon/SecureRcon.h"
#include "rcon/SystemClock.h"
#include "console/PlayerActions.h"
#include "console/PlayerListRefresh.h"
#include "console/PlayerTable.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QMenu;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace brimhold::rcon {
class CommandSender;
class RconSocket;
}  // namespace brimhold::rcon

namespace brimhold::console {

class InputPrompter;
class PlayerTableModel;

// The players window: a live table of who is on the server, refreshed on its own UDP socket (so its
// requests and replies never reach the console's transcript), with kick and the anti-cheat add-on's
// kick and bans on a row's context menu. Actions are confirmed and then run through the console's
// RunCommand, like a menu command; the table refreshes once afterwards.
class frmPlayers final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmPlayers)

public:
    struct Setup {
        QString host;  // as typed, like the console's
        QString port;
        QString password;
        // How the requests prove the password, as the console's do.
        rcon::AuthMode mode = rcon::AuthMode::Plain;
        // The console's RunCommand.
        std::function<void(const QString& command)> runCommand;
        // Asks the actions' questions and confirmations; null means modal dialogs over this window.
        std::shared_ptr<InputPrompter> prompter;
    };

    // How long after an action the table refreshes, so that the server has carried it out.
    static constexpr qint64 kRefreshAfterActionMs = 1000;

    // The automatic refresh intervals the window offers, in seconds (0: off).
    static constexpr int kAutoRefreshSeconds[] = {0, 10, 30, 60};

    // A top-level window of its own, owned by `parent`. Starts its socket and its first refresh.
    explicit frmPlayers(Setup setup, QWidget* parent = nullptr);
    ~frmPlayers() override;

    // Carries out an action on the player in `row` of the table as shown (sorted); does nothing for a
    // row that does not exist or an action not offered for it.
    void runAction(PlayerAction action, int row);
    // The context menu of a row as shown (sorted), built afresh; null for no row.
    std::unique_ptr<QMenu> createRowMenu(int row);

    const PlayerListRefresh& refresher() const { return *m_refresh; }

private:
    void createControls();
    void showRefreshed(const rcon::StatusResponse& status,
                       const std::optional<rcon::PunkBusterList>& punkBuster);
    void showFailure(const QString& notice);
    void showRowMenu(const QPoint& position);
    void runAction(PlayerAction action, const PlayerRow& player);
    std::optional<PlayerRow> rowAt(int shownRow) const;
    int shownRowOf(qsizetype modelRow) const;
    std::optional<PlayerTable::Key> selectedKey() const;

    Setup m_setup;
    rcon::SystemClock m_clock;
    rcon::RconSocket* m_socket = nullptr;
    std::unique_ptr<rcon::CommandSender> m_sender;
    PlayerListRefresh* m_refresh = nullptr;
    PlayerTableModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_notice = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QComboBox* m_autoRefresh = nullptr;
};

}  // namespace brimhold::console
