#pragma once

#include "rcon/AuthModeStore.h"

#include <QMenu>
#include <QString>

#include <array>

class QAction;

namespace brimhold::app {

// The context menu of a saved server: "Secure rcon" with the three rcon modes, the server's own one
// checked. Choosing a mode keeps it for the server's host and port in the mode file, where the console
// and brimhold-rcon-cli read it when they connect.
class SecureRconMenu final : public QMenu {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecureRconMenu)

public:
    // The modes are read from and kept in the file at modeFile.
    explicit SecureRconMenu(QString modeFile, QWidget* parent = nullptr);
    ~SecureRconMenu() override;

    // Checks the mode kept for host:port and pops the menu up at globalPosition.
    void popUpFor(const QString& host, const QString& port, const QPoint& globalPosition);

signals:
    // The chosen mode could not be kept; the text says why.
    void notKept(const QString& reason);

private:
    void choose(rcon::AuthMode mode);

    rcon::AuthModeStore m_store;
    QString m_host;
    QString m_port;
    std::array<QAction*, 3> m_modes{};
};

}  // namespace brimhold::app
