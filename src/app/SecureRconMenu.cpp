#include "app/SecureRconMenu.h"

#include <QActionGroup>

namespace brimhold::app {

namespace {

struct ModeItem {
    rcon::AuthMode mode;
    const char* objectName;
    const char* caption;
};

// The captions name the server setting that each mode answers to.
constexpr std::array<ModeItem, 3> kModeItems{{
    {rcon::AuthMode::Plain, "mnuSecureRconPlain", "Plain"},
    {rcon::AuthMode::Time, "mnuSecureRconTime", "Time-based (rcon_secure 1)"},
    {rcon::AuthMode::Challenge, "mnuSecureRconChallenge", "Challenge-based (rcon_secure 2)"},
}};

}  // namespace

SecureRconMenu::SecureRconMenu(QString modeFile, QWidget* parent)
    : QMenu(parent), m_store(std::move(modeFile)) {
    setObjectName(QStringLiteral("mnuServer"));
    QMenu* secure = addMenu(QStringLiteral("Secure rcon"));
    secure->setObjectName(QStringLiteral("mnuSecureRcon"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (std::size_t i = 0; i < kModeItems.size(); ++i) {
        const ModeItem& item = kModeItems[i];
        QAction* action = secure->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.objectName));
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, mode = item.mode] { choose(mode); });
        m_modes[i] = action;
    }
}

SecureRconMenu::~SecureRconMenu() = default;

void SecureRconMenu::popUpFor(const QString& host, const QString& port, const QPoint& globalPosition) {
    m_host = host;
    m_port = port;
    const rcon::AuthMode mode = m_store.modeOf(host, port);
    for (std::size_t i = 0; i < kModeItems.size(); ++i) {
        m_modes[i]->setChecked(kModeItems[i].mode == mode);
    }
    popup(globalPosition);
}

void SecureRconMenu::choose(rcon::AuthMode mode) {
    if (!m_store.setMode(m_host, m_port, mode)) {
        emit notKept(m_store.errorString());
    }
}

}  // namespace brimhold::app
