#pragma once

#include <QByteArray>
#include <QList>

namespace brimhold::demo {

// The demo server's console variables ("cvars"), in the order a real server lists them. It starts
// with the table in CvarTable.cpp: enough of them that "cvarlist" fills several datagrams, as a real
// server's list does. Names are found regardless of case.
class CvarTable final {
public:
    struct Cvar {
        QByteArray name;
        QByteArray value;
        QByteArray defaultValue;
        bool serverInfo = false;  // also shown by "serverinfo" and the status and info queries
        bool readOnly = false;
    };

    CvarTable();

    const QList<Cvar>& all() const { return m_cvars; }
    Cvar* find(const QByteArray& name);
    const Cvar* find(const QByteArray& name) const;
    // The value, or empty for a name that is not a cvar.
    QByteArray value(const QByteArray& name) const;
    // Changes an existing cvar, read only or not; another name is left alone.
    void setValue(const QByteArray& name, const QByteArray& value);
    // A new cvar, neither server info nor read only, whose default is the value.
    void add(const QByteArray& name, const QByteArray& value);

    // "\NAME\VALUE" for every server-info cvar, as the status and info queries send them.
    QByteArray infoString() const;

private:
    QList<Cvar> m_cvars;
};

}  // namespace brimhold::demo
