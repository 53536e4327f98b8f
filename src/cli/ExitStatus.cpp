#include "cli/ExitStatus.h"

namespace brimhold::cli {

int ExitStatus::of(Outcome outcome) {
    switch (outcome) {
        case Outcome::Ok:
            return kOk;
        case Outcome::BadPassword:
            return kBadPassword;
        case Outcome::NoReply:
            return kNoReply;
        case Outcome::Error:
            return kError;
    }
    return kError;
}

Outcome ExitStatus::worse(Outcome a, Outcome b) {
    return int(a) >= int(b) ? a : b;
}

const char* ExitStatus::nameOf(Outcome outcome) {
    switch (outcome) {
        case Outcome::Ok:
            return "ok";
        case Outcome::BadPassword:
            return "bad-password";
        case Outcome::NoReply:
            return "no-reply";
        case Outcome::Error:
            return "error";
    }
    return "error";
}

}  // namespace brimhold::cli
