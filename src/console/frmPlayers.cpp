#include "console/frmPlayers.h"

#include "codepage/Windows1252.h"
#include "rcon/CommandSender.h"
#include "rcon/RconSocket.h"
#include "console/InputDialogPrompter.h"
#include "console/PlayerNameDelegate.h"
#include "console/PlayerTableModel.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace brimhold::console {

namespace {

QString address(const frmPlayers::Setup& setup) {
    return setup.host + QLatin1Char(':') + setup.port;
}

}  // namespace

frmPlayers::frmPlayers(Setup setup, QWidget* parent)
    : QWidget(parent, Qt::Window), m_setup(std::move(setup)) {
    setObjectName(QStringLiteral("frmPlayers"));
    setWindowTitle(QStringLiteral("Brimhold - Players - ") + address(m_setup));
    createControls();
    if (!m_setup.prompter) {
        m_setup.prompter = std::make_shared<InputDialogPrompter>(this);
    }

    m_socket = new rcon::RconSocket(this);
    m_sender = std::make_unique<rcon::CommandSender>(
        m_setup.mode, [this](const QByteArray& datagram) { m_socket->send(datagram); }, m_clock);
    const QByteArray password = codepage::Windows1252::fromUnicode(m_setup.password);
    m_refresh = new PlayerListRefresh(
        m_clock, [this, password](const QByteArray& command) { m_sender->sendCommand(password, command); },
        PlayerListRefresh::Timing{}, this);
    connect(m_socket, &rcon::RconSocket::datagramReceived, this, [this](const QByteArray& datagram) {
        if (!m_sender->takeDatagram(datagram)) {
            m_refresh->received(datagram);
        }
    });
    connect(m_socket, &rcon::RconSocket::failed, this, &frmPlayers::showFailure);
    connect(m_refresh, &PlayerListRefresh::refreshed, this, &frmPlayers::showRefreshed);
    connect(m_refresh, &PlayerListRefresh::notAnswered, this,
            [this] { showFailure(QStringLiteral("No answer from ") + address(m_setup)); });
    connect(m_refresh, &PlayerListRefresh::refused, this,
            [this](const QByteArray& text) { showFailure(codepage::Windows1252::toUnicode(text)); });
    connect(m_refreshButton, &QPushButton::clicked, m_refresh, [this] { m_refresh->refresh(); });
    connect(m_autoRefresh, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_refresh->setInterval(qint64(kAutoRefreshSeconds[index]) * 1000); });

    m_socket->connectToServer(m_setup.host, m_setup.port);
    m_refresh->refresh();
}

frmPlayers::~frmPlayers() = default;

void frmPlayers::createControls() {
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->hide();

    m_model = new PlayerTableModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(PlayerTableModel::kSortRole);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setModel(m_sorted);
    m_table->setItemDelegateForColumn(PlayerTableModel::NameColumn, new PlayerNameDelegate(m_table));
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(PlayerTableModel::SlotColumn, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // Every column takes what it needs; the last one shown also the rest.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnHidden(PlayerTableModel::GuidColumn, true);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &frmPlayers::showRowMenu);

    auto* kick = new QAction(PlayerActions::caption(PlayerAction::Kick), m_table);
    kick->setShortcut(QKeySequence::Delete);
    kick->setShortcutContext(Qt::WidgetShortcut);
    connect(kick, &QAction::triggered, this, [this] {
        if (m_table->currentIndex().isValid()) {
            runAction(PlayerAction::Kick, m_table->currentIndex().row());
        }
    });
    m_table->addAction(kick);

    m_refreshButton = new QPushButton(QStringLiteral("Refresh"), this);
    m_refreshButton->setObjectName(QStringLiteral("refresh"));
    m_autoRefresh = new QComboBox(this);
    m_autoRefresh->setObjectName(QStringLiteral("autoRefresh"));
    for (const int seconds : kAutoRefreshSeconds) {
        m_autoRefresh->addItem(seconds == 0 ? QStringLiteral("Off") : QStringLiteral("%1 s").arg(seconds));
    }
    auto* autoRefreshLabel = new QLabel(QStringLiteral("Automatic refresh:"), this);
    autoRefreshLabel->setBuddy(m_autoRefresh);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_refreshButton);
    buttons->addStretch();
    buttons->addWidget(autoRefreshLabel);
    buttons->addWidget(m_autoRefresh);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_notice);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    resize(760, 420);
}

void frmPlayers::showRefreshed(const rcon::StatusResponse& status,
                               const std::optional<rcon::PunkBusterList>& punkBuster) {
    const std::optional<PlayerTable::Key> selected = selectedKey();
    m_model->setRows(PlayerTable::rows(status, punkBuster ? &*punkBuster : nullptr));
    m_table->setColumnHidden(PlayerTableModel::GuidColumn, !punkBuster);
    m_table->setEnabled(true);
    m_notice->hide();
    const qsizetype count = status.players.size();
    m_summary->setText(QStringLiteral("Map: %1 - %2 %3")
                           .arg(codepage::Windows1252::toUnicode(status.map()))
                           .arg(count)
                           .arg(count == 1 ? QStringLiteral("player") : QStringLiteral("players")));
    if (selected) {
        const int row = shownRowOf(PlayerTable::find(m_model->rows(), *selected));
        if (row >= 0) {
            m_table->selectRow(row);
        }
    }
}

// The last rows stay, greyed, under the notice.
void frmPlayers::showFailure(const QString& notice) {
    m_notice->setText(notice);
    m_notice->show();
    m_table->setEnabled(false);
}

std::optional<PlayerRow> frmPlayers::rowAt(int shownRow) const {
    const QModelIndex index = m_sorted->mapToSource(m_sorted->index(shownRow, 0));
    if (!index.isValid()) {
        return std::nullopt;
    }
    return m_model->rows().at(index.row());
}

int frmPlayers::shownRowOf(qsizetype modelRow) const {
    if (modelRow < 0) {
        return -1;
    }
    return m_sorted->mapFromSource(m_model->index(int(modelRow), 0)).row();
}

std::optional<PlayerTable::Key> frmPlayers::selectedKey() const {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    if (const std::optional<PlayerRow> row = rowAt(rows.first().row())) {
        return PlayerTable::keyOf(*row);
    }
    return std::nullopt;
}

void frmPlayers::runAction(PlayerAction action, int row) {
    if (const std::optional<PlayerRow> player = rowAt(row)) {
        runAction(action, *player);
    }
}

// The questions are modal and the table may refresh under them, so the player is taken as it was.
void frmPlayers::runAction(PlayerAction action, const PlayerRow& player) {
    PlayerActions actions(*m_setup.prompter);
    if (const std::optional<QString> command = actions.command(action, player)) {
        m_setup.runCommand(*command);
        m_refresh->refresh(kRefreshAfterActionMs);
    }
}

std::unique_ptr<QMenu> frmPlayers::createRowMenu(int row) {
    const std::optional<PlayerRow> player = rowAt(row);
    if (!player) {
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(this);
    for (const PlayerAction action : PlayerActions::offeredFor(*player)) {
        QAction* item = menu->addAction(PlayerActions::caption(action), this,
                                        [this, action, player = *player] { runAction(action, player); });
        if (action == PlayerAction::Kick) {
            item->setShortcut(QKeySequence::Delete);
        }
    }
    menu->addSeparator();
    const QString name = codepage::Windows1252::toUnicode(player->plainName());
    const QString address = codepage::Windows1252::toUnicode(player->player.address);
    menu->addAction(QStringLiteral("Copy name"), this,
                    [name] { QGuiApplication::clipboard()->setText(name); });
    menu->addAction(QStringLiteral("Copy address"), this,
                    [address] { QGuiApplication::clipboard()->setText(address); });
    return menu;
}

void frmPlayers::showRowMenu(const QPoint& position) {
    const QModelIndex index = m_table->indexAt(position);
    if (!index.isValid() || !m_table->isEnabled()) {
        return;
    }
    m_table->selectRow(index.row());
    if (const std::unique_ptr<QMenu> menu = createRowMenu(index.row())) {
        menu->exec(m_table->viewport()->mapToGlobal(position));
    }
}

}  // namespace brimhold::console
