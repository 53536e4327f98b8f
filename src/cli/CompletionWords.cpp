#include "cli/CompletionWords.h"

#include "rcon/ColorCodes.h"
#include "rcon/RconProtocol.h"
#include "rcon/StatusResponse.h"

#include <algorithm>
#include <optional>

namespace brimhold::cli {

namespace {

// The word at the end of a line: where it starts, its number in its command (from 0) and the
// command's first two words. Blanks separate words, double quotes group them, a semicolon starts
// another command, as the game's console reads a line.
struct WordAtEnd {
    qsizetype start = 0;
    int index = 0;
    QByteArray firstWord;
    QByteArray secondWord;
};

WordAtEnd wordAtEnd(const QByteArray& line) {
    WordAtEnd word;
    bool quoted = false;
    bool inWord = false;
    int index = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ';') {
            index = -1;
            inWord = false;
            continue;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord && index <= 1) {
                (index == 0 ? word.firstWord : word.secondWord) =
                    line.mid(word.start, i - word.start).toLower();
            }
            inWord = false;
            continue;
        }
        if (!inWord) {
            inWord = true;
            word.start = i;
            ++index;
        }
    }
    if (!inWord) {
        word.start = line.size();
        ++index;
    }
    word.index = index;
    return word;
}

QByteArray withoutLeadingQuote(const QByteArray& word) {
    return word.startsWith('"') ? word.mid(1) : word;
}

bool lessIgnoringCase(const QByteArray& a, const QByteArray& b) {
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool isFlagWord(const QByteArray& token) {
    return std::all_of(token.begin(), token.end(), [](char c) { return (c >= 'A' && c <= 'Z') || c == '?'; });
}

}  // namespace

std::vector<CompletionWords::Kind> CompletionWords::kindsFor(const QByteArray& lineBeforeCursor) {
    const WordAtEnd word = wordAtEnd(lineBeforeCursor);
    if (word.index == 0) {
        return {Kind::Commands, Kind::Cvars};
    }
    if (word.index == 1 && (word.firstWord == "map" || word.firstWord == "devmap")) {
        return {Kind::Maps};
    }
    if (word.index == 1 && (word.firstWord == "clientkick" || word.firstWord == "kick")) {
        return {Kind::Players};
    }
    if (word.index == 2 && word.firstWord == "kick" && word.secondWord == "#") {
        return {Kind::NumberedPlayers};
    }
    return {};
}

QList<QByteArray> CompletionWords::commandsIn(const QByteArray& cmdlistReply) {
    QList<QByteArray> words;
    for (const QByteArray& line : rcon::RconProtocol::lines(cmdlistReply)) {
        // One name a line, after DarkPlaces followed by " : " and a description; the closing
        // "N commands" and any other answer have blanks in them.
        const qsizetype description = line.indexOf(" : ");
        const QByteArray word = (description < 0 ? line : line.left(description)).trimmed();
        if (!word.isEmpty() && !word.contains(' ') && !word.contains('\t') &&
            !(word[0] >= '0' && word[0] <= '9')) {
            words.append(word);
        }
    }
    return words;
}

QList<QByteArray> CompletionWords::cvarsIn(const QByteArray& cvarlistReply) {
    QList<QByteArray> words;
    for (const QByteArray& line : rcon::RconProtocol::lines(cvarlistReply)) {
        const qsizetype quote = line.indexOf('"');
        if (quote < 0) {
            continue;
        }
        const QList<QByteArray> tokens = line.left(quote).simplified().split(' ');
        // DarkPlaces: NAME is "VALUE" ["DEFAULT"] DESCRIPTION.
        if (tokens.size() == 2 && tokens.last() == "is") {
            words.append(tokens.first());
            continue;
        }
        if (tokens.last().isEmpty() || !std::all_of(tokens.begin(), tokens.end() - 1, isFlagWord)) {
            continue;
        }
        words.append(tokens.last());
    }
    return words;
}

QList<QByteArray> CompletionWords::mapsIn(const QByteArray& fileListing) {
    QList<QByteArray> words;
    for (const QByteArray& line : rcon::RconProtocol::lines(fileListing)) {
        const QByteArray path = line.trimmed();
        if (!path.toLower().endsWith(".bsp") || path.contains(' ')) {
            continue;
        }
        const QByteArray map = path.mid(path.lastIndexOf('/') + 1).chopped(4);
        if (!map.isEmpty()) {
            words.append(map);
        }
    }
    return words;
}

// The players of the status print (any engine's layout): their names, and their slot numbers where
// "kick SLOT" takes them. DarkPlaces reads a bare number after "kick" as a name; its slots follow
// "kick #" instead.
QList<QByteArray> CompletionWords::playersIn(const QByteArray& statusReply) {
    QList<QByteArray> words;
    const std::optional<rcon::StatusResponse> status = rcon::StatusResponse::parsePrint(statusReply);
    if (!status) {
        return words;
    }
    const bool bareSlots = status->kick != rcon::StatusResponse::Kick::ByNumberSign;
    for (const rcon::StatusResponse::Player& player : status->players) {
        const QByteArray name = rcon::ColorCodes::strip(player.name).trimmed();
        if (bareSlots) {
            words.append(QByteArray::number(player.slot));
        }
        if (!name.isEmpty() && !name.contains('"')) {
            words.append(name.contains(' ') ? '"' + name + '"' : name);
        }
    }
    return words;
}

QList<QByteArray> CompletionWords::numberedSlotsIn(const QByteArray& statusReply) {
    QList<QByteArray> words;
    const std::optional<rcon::StatusResponse> status = rcon::StatusResponse::parsePrint(statusReply);
    if (!status || status->kick != rcon::StatusResponse::Kick::ByNumberSign) {
        return words;
    }
    for (const rcon::StatusResponse::Player& player : status->players) {
        words.append(QByteArray::number(player.slot));
    }
    return words;
}

void CompletionWords::set(Kind kind, const QList<QByteArray>& words) {
    QList<QByteArray>& list = m_words[int(kind)];
    list = words;
    std::sort(list.begin(), list.end(), lessIgnoringCase);
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

CompletionWords::Completion CompletionWords::complete(const QByteArray& lineBeforeCursor) const {
    const WordAtEnd position = wordAtEnd(lineBeforeCursor);
    const QByteArray typed = lineBeforeCursor.mid(position.start);
    const QByteArray prefix = withoutLeadingQuote(typed);
    Completion completion{position.start, typed, false, {}};
    for (const Kind kind : kindsFor(lineBeforeCursor)) {
        for (const QByteArray& word : m_words[int(kind)]) {
            if (withoutLeadingQuote(word).left(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0) {
                completion.matches.append(word);
            }
        }
    }
    std::sort(completion.matches.begin(), completion.matches.end(), lessIgnoringCase);
    completion.matches.erase(std::unique(completion.matches.begin(), completion.matches.end()),
                             completion.matches.end());
    if (completion.matches.size() == 1) {
        completion.word = completion.matches.first();
        completion.whole = true;
    } else if (!completion.matches.isEmpty()) {
        // The longest beginning that every match shares, in the first match's case.
        const QByteArray& first = completion.matches.first();
        qsizetype shared = first.size();
        for (const QByteArray& match : std::as_const(completion.matches)) {
            qsizetype i = 0;
            while (i < shared && i < match.size() && lowerAscii(first[i]) == lowerAscii(match[i])) {
                ++i;
            }
            shared = i;
        }
        if (shared > typed.size()) {
            completion.word = first.left(shared);
        }
    }
    return completion;
}

}  // namespace brimhold::cli
