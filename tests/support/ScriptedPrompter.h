#pragma once

#include "console/InputPrompter.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <utility>
#include <vector>

// Answers the menus' questions and confirmations from scripts and keeps every question asked. Once a
// script has run out it cancels (an empty answer, a "no"), so a flow that asks too often cannot loop
// forever.
class ScriptedPrompter final : public brimhold::console::InputPrompter {
public:
    using Question = std::pair<QString, QString>;  // prompt, title

    explicit ScriptedPrompter(std::vector<QString> script = {}) : answers(script.begin(), script.end()) {}

    QString ask(const QString& prompt, const QString& title) override {
        asked.emplace_back(prompt, title);
        if (answers.empty()) {
            return QString();
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }

    bool confirm(const QString& question, const QString& title) override {
        confirmationsAsked.emplace_back(question, title);
        if (confirmations.empty()) {
            return false;
        }
        const bool answer = confirmations.front();
        confirmations.pop_front();
        return answer;
    }

    // The questions asked as "title|prompt".
    QStringList titledQuestions() const {
        QStringList questions;
        for (const Question& question : asked) {
            questions.append(question.second + QLatin1Char('|') + question.first);
        }
        return questions;
    }

    std::deque<QString> answers;
    std::vector<Question> asked;
    std::deque<bool> confirmations;
    std::vector<Question> confirmationsAsked;
};
