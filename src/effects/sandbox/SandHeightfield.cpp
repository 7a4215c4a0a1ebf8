#include "effects/sandbox/SandHeightfield.h"

#include <algorithm>
#include <cmath>

namespace {
// A total above this counts as a full box.
constexpr double kFullTotal = 0.99999999;

// Counts down every falling grain's time and hands each one that lands to
// `land`, in the order they fell; the others keep their order.
template <class Land>
void LandGrains(std::vector<CSandHeightfield::FallingGrain>& grains, float dt, Land land)
{
    size_t kept = 0;
    for (size_t i = 0; i < grains.size(); ++i) {
        CSandHeightfield::FallingGrain grain = grains[i];
        grain.timeLeft -= dt;
        if (grain.timeLeft <= 0.0f)
            land(grain);
        else
            grains[kept++] = grain;
    }
    grains.resize(kept);
}
} // namespace

CSandHeightfield::CSandHeightfield()
{
    m_grains.reserve(128);
    SetColumnCount(64);
}

void CSandHeightfield::SetColumnCount(int columns)
{
    m_columns = std::clamp(columns, kMinColumns, kMaxColumns);
    m_levels.assign(static_cast<size_t>(m_columns), 0.0);
    m_display.assign(static_cast<size_t>(m_columns), 0.0);
    m_total = 0.0;
}

void CSandHeightfield::Reset()
{
    m_full = false;
    m_state = State::Quiet;
    std::fill(m_levels.begin(), m_levels.end(), 0.0);
    std::fill(m_display.begin(), m_display.end(), 0.0);
    m_total = 0.0;
    m_meter = 0.0;
    m_grains.clear();
}

void CSandHeightfield::QueueGrain(float timeLeft, float position, float amount)
{
    m_grains.push_back(FallingGrain{timeLeft, position, amount});
}

void CSandHeightfield::SetFull(bool on, double meter)
{
    m_full = on;
    if (on)
        m_meter = meter;
    const double level = on ? 1.0 : 0.0;
    std::fill(m_levels.begin(), m_levels.end(), level);
    std::fill(m_display.begin(), m_display.end(), level);
    m_total = level;
}

// Four running sums instead of one: the adds overlap, and the mean of a
// box of equal columns (empty, full) still comes out exact.
double CSandHeightfield::Mean() const
{
    const double* level = m_levels.data();
    const int n = m_columns;
    double sum[4] = {0.0, 0.0, 0.0, 0.0};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        sum[0] += level[i];
        sum[1] += level[i + 1];
        sum[2] += level[i + 2];
        sum[3] += level[i + 3];
    }
    for (; i < n; ++i)
        sum[0] += level[i];
    return ((sum[0] + sum[1]) + (sum[2] + sum[3])) / n;
}

// The same passes as sweeping every pair until a sweep changes nothing,
// minus the pairs that cannot change: a pair that was even when last looked
// at stays even until one of its two columns moves. So a pass only needs
// the stretch where the previous pass changed something, one pair to the
// left of it, and onwards for as long as the pass itself keeps changing.
// (Walking only the marked pairs, as bits of a mask, checks no fewer pairs
// here: the changes of a pass lie side by side.)
void CSandHeightfield::RelaxFrom(int first, int last)
{
    const int n = m_columns;
    double* level = m_levels.data();
    const double half = 0.5 * kMaxStep;
    int lo = std::max(first, 1);
    int hi = std::min(last, n - 1);
    while (lo <= hi) {
        int changedLo = n;
        int changedHi = 0;
        bool previousChanged = false;
        // The right column of each pair is carried over as the next pair's
        // left one: each level is read once a pass.
        double left = level[lo - 1];
        for (int i = lo; i < n && (i <= hi || previousChanged); ++i) {
            const double right = level[i];
            const double d = left - right;
            previousChanged = std::fabs(d) > kMaxStep;
            if (previousChanged) {
                const double mean = 0.5 * (left + right);
                const double sign = d > 0.0 ? half : -half;
                level[i - 1] = mean + sign;
                left = mean - sign;
                level[i] = left;
                changedLo = std::min(changedLo, i);
                changedHi = i;
            } else {
                left = right;
            }
        }
        if (changedHi == 0)
            return;
        lo = std::max(changedLo - 1, 1);
        hi = changedHi;
    }
}

void CSandHeightfield::Relax() { RelaxFrom(1, m_columns - 1); }

void CSandHeightfield::FillColumn(int column, double h, int* changedLo, int* changedHi)
{
    double& level = m_levels[static_cast<size_t>(column)];
    *changedLo = std::min(*changedLo, column);
    *changedHi = std::max(*changedHi, column);
    if (level + h <= 1.0) {
        level += h;
        return;
    }
    const double overflow = h - (1.0 - level);
    level = 1.0;
    Spread(overflow, column, column, changedLo, changedHi);
}

void CSandHeightfield::Spread(double overflow, int left, int right, int* changedLo, int* changedHi)
{
    const int n = m_columns;
    // Past either end of the box a cursor finds no room and takes nothing.
    auto room = [this, n](int column) { return column >= 0 && column < n ? 1.0 - m_levels[column] : 0.0; };
    auto add = [this, n](int column, double h) {
        if (column >= 0 && column < n)
            m_levels[column] += h;
    };
    auto fill = [this, n](int column) {
        if (column >= 0 && column < n)
            m_levels[column] = 1.0;
    };
    int l = left - 1;
    int r = right + 1;
    for (;;) {
        while (l >= 0 && m_levels[l] >= 1.0)
            --l;
        while (r < n && m_levels[r] >= 1.0)
            ++r;
        if (l < 0 && r >= n)
            return;
        *changedLo = std::min(*changedLo, std::max(l, 0));
        *changedHi = std::max(*changedHi, std::min(r, n - 1));
        const double roomLeft = room(l);
        const double roomRight = room(r);
        if (overflow <= roomLeft + roomRight) {
            const double half = 0.5 * overflow;
            if (roomLeft < half) {
                fill(l);
                add(r, overflow - roomLeft);
            } else if (roomRight < half) {
                fill(r);
                add(l, overflow - roomRight);
            } else {
                add(l, half);
                add(r, half);
            }
            return;
        }
        fill(l);
        fill(r);
        overflow -= roomLeft + roomRight;
    }
}

void CSandHeightfield::Pour(double amount, double position)
{
    const int n = m_columns;
    const double room = 1.0 - m_total;
    if (!(amount > 0.0) || !(room > 0.0))
        return;
    // More than the box can take fills it: every column to the brim, with
    // no rounding left over from spreading the amount column by column.
    if (amount >= room) {
        std::fill(m_levels.begin(), m_levels.end(), 1.0);
        m_total = 1.0;
        return;
    }
    const double h = amount * n;
    int changedLo = n;
    int changedHi = -1;
    // A position that is not a number lands in the first column.
    if (!(position > 0.0)) {
        FillColumn(0, h, &changedLo, &changedHi);
    } else if (position >= n - 1) {
        FillColumn(n - 1, h, &changedLo, &changedHi);
    } else {
        const int m = static_cast<int>(std::floor(position));
        const int l = m + 1;
        const double f = position - m;
        double& left = m_levels[static_cast<size_t>(m)];
        double& right = m_levels[static_cast<size_t>(l)];
        const double freeLeft = 1.0 - left;
        const double freeRight = 1.0 - right;
        changedLo = m;
        changedHi = l;
        if (h <= freeLeft + freeRight) {
            if (freeLeft < h * (1.0 - f)) {
                left = 1.0;
                right += h - freeLeft;
            } else if (freeRight < h * f) {
                right = 1.0;
                left += h - freeRight;
            } else {
                left += h * (1.0 - f);
                right += h * f;
            }
        } else {
            left = 1.0;
            right = 1.0;
            Spread(h - freeLeft - freeRight, m, l, &changedLo, &changedHi);
        }
    }
    // Only the pairs touching a changed column can have become uneven.
    RelaxFrom(changedLo, changedHi + 1);
    m_total = Mean();
}

void CSandHeightfield::Drain(double fraction)
{
    // Draining the whole box empties it outright, leaving no rounding dust
    // that would keep it from ever reading empty.
    if (fraction >= m_total) {
        std::fill(m_levels.begin(), m_levels.end(), 0.0);
        return;
    }
    double take = fraction * m_columns;
    for (double& level : m_levels) {
        if (take <= 0.0)
            break;
        if (level <= take) {
            take -= level;
            level = 0.0;
        } else {
            level -= take;
            take = 0.0;
        }
    }
}

void CSandHeightfield::Flow(float dt)
{
    const double k = std::min(static_cast<double>(dt) * flowFactor, 1.0);
    double* level = m_levels.data();
    for (int i = 0; i + 1 < m_columns; ++i) {
        // A full column takes nothing (nor gives back what rounding may have
        // put over its brim), and an empty one gives nothing.
        const double room = 1.0 - level[i];
        if (room <= 0.0 || level[i + 1] <= 0.0)
            continue;
        const double moved = std::min(level[i + 1] * k, room);
        level[i] += moved;
        level[i + 1] -= moved;
    }
}

void CSandHeightfield::FollowDisplay(float dt)
{
    // Towards the level by at most one step, stopping on it: a clamp, which
    // runs without branches.
    const double step = static_cast<double>(dt) * displaySpeed;
    const double* level = m_levels.data();
    double* shown = m_display.data();
    for (int i = 0; i < m_columns; ++i)
        shown[i] = std::min(std::max(level[i], shown[i] - step), shown[i] + step);
}

void CSandHeightfield::Update(float dt)
{
    if (m_full)
        UpdateFull(dt);
    else
        UpdateNormal(dt);
}

void CSandHeightfield::UpdateNormal(float dt)
{
    LandGrains(m_grains, dt, [this](const FallingGrain& grain) { Pour(grain.amount, grain.position); });

    const double before = m_total;
    if (draining)
        Drain(std::min(static_cast<double>(dt) * drainRate, before));
    Flow(dt);
    Relax();
    m_total = Mean();

    if (m_total == 0.0)
        m_state = State::Empty;
    else if (before > kFullTotal)
        m_state = State::Full;
    else
        m_state = State::Quiet;
    FollowDisplay(dt);
}

void CSandHeightfield::UpdateFull(float dt)
{
    LandGrains(m_grains, dt, [this](const FallingGrain& grain) { m_meter += meterGain * grain.amount; });

    if (draining) {
        m_total = std::max(m_total - static_cast<double>(dt) * fullDrainRate, 0.0);
        std::fill(m_levels.begin(), m_levels.end(), m_total);
        std::fill(m_display.begin(), m_display.end(), m_total);
    }
    if (m_meter >= 1.0) {
        m_meter = 1.0;
        m_state = State::MeterFull;
    } else {
        m_state = draining && m_total <= 0.0 ? State::Empty : State::Quiet;
    }
}
