#pragma once

#include <QString>
#include <QStringList>

namespace brimhold::app {

// The program's argument text and what it asks for. The text is split at every single space, so two
// spaces in a row make an empty word: "host  secret" is three words with an empty port.
class CommandLine final {
public:
    enum class Request {
        None,      // no argument text: the dialog simply opens
        Connect,   // two or three words: connect at once with host, port and password
        Unusable,  // one word, or four or more: not a connection; the dialog opens and says so
    };

    // Rebuilds the argument text from the arguments the system passes (program name first): the
    // words after the program name joined by single spaces, as the program's own command line
    // would read on a system that hands over the whole text.
    static QString argumentText(const QStringList& arguments);

    // Splits the argument text at every single space; an empty text has no words.
    static QStringList words(const QString& argumentText);

    static CommandLine parse(const QString& argumentText);

    Request request() const { return m_request; }
    int wordCount() const { return m_wordCount; }
    // Meaningful for Request::Connect only; each text exactly as written, the port not tested.
    const QString& host() const { return m_host; }
    const QString& port() const { return m_port; }
    const QString& password() const { return m_password; }

private:
    CommandLine() = default;

    Request m_request = Request::None;
    int m_wordCount = 0;
    QString m_host;
    QString m_port;
    QString m_password;
};

}  // namespace brimhold::app
