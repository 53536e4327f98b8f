#include "app/CommandLine.h"

#include "serverlist/DefaultPort.h"

namespace brimhold::app {

QString CommandLine::argumentText(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' '));
}

QStringList CommandLine::words(const QString& argumentText) {
    if (argumentText.isEmpty()) {
        return {};
    }
    return argumentText.split(QLatin1Char(' '), Qt::KeepEmptyParts);
}

CommandLine CommandLine::parse(const QString& argumentText) {
    CommandLine result;
    const QStringList parts = words(argumentText);
    result.m_wordCount = static_cast<int>(parts.size());
    if (parts.isEmpty()) {
        result.m_request = Request::None;
    } else if (parts.size() == 2) {
        result.m_request = Request::Connect;
        result.m_host = parts[0];
        result.m_port = QString::fromLatin1(serverlist::kDefaultPort);
        result.m_password = parts[1];
    } else if (parts.size() == 3) {
        result.m_request = Request::Connect;
        result.m_host = parts[0];
        result.m_port = parts[1];
        result.m_password = parts[2];
    } else {
        result.m_request = Request::Unusable;
    }
    return result;
}

}  // namespace brimhold::app
