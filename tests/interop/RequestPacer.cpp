#include "RequestPacer.h"

#include <QTest>

#include <algorithm>
#include <cmath>

RequestPacer::RequestPacer(int allowance, int refillMs) : m_allowance(allowance), m_refillMs(refillMs) {
    m_clock.start();
}

void RequestPacer::waitForTurn() {
    const double excess = usedNow() + 1 - m_allowance;
    if (excess > 0) {
        QTest::qWait(int(std::ceil(excess * m_refillMs)) + 50);
    }
    m_used = usedNow() + 1;
    m_usedAtMs = m_clock.elapsed();
}

double RequestPacer::usedNow() const {
    const double refilled = double(m_clock.elapsed() - m_usedAtMs) / m_refillMs;
    return std::max(0.0, m_used - refilled);
}
