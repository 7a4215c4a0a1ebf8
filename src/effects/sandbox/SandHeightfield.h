// The sand simulation behind the glass box under the board: a row of
// columns, each filled from 0 to 1. Grains fall for a while, land at a
// fractional column and are poured; the pile is kept from standing steeper
// than a fixed step between neighbours, slides towards the first column and
// drains while a level runs. Display levels follow the real ones at a
// limited speed and are what the box draws. A full box switches to full
// mode: the sand stands flat and drains at its own rate while landing grains
// fill the frenzy meter instead.
#pragma once

#include <cstdint>
#include <vector>

class CSandHeightfield {
public:
    // What the last update has to tell the board.
    enum class State : int32_t { Quiet = 0, Empty = 1, Full = 2, MeterFull = 3 };

    struct FallingGrain {
        float timeLeft; // seconds until it lands
        float position; // column position, 0 .. columns - 1
        float amount;   // a fraction of the whole box
    };

    static constexpr int kMinColumns = 2;
    static constexpr int kMaxColumns = 1024;
    // The largest difference allowed between neighbouring columns.
    static constexpr double kMaxStep = 0.25;

    CSandHeightfield();

    // Stores the column count (clamped to 2 .. 1,024) and empties every column.
    void SetColumnCount(int columns);
    // An empty box in normal mode with the meter at 0; the drain flag stays.
    void Reset();
    // Adds sand at once at a fractional column.
    void Pour(double amount, double position);
    void QueueGrain(float timeLeft, float position, float amount);
    void ClearFallingGrains() { m_grains.clear(); }
    // On: every column full, the meter at `meter`. Off: every column empty,
    // the meter kept.
    void SetFull(bool on, double meter);
    void Update(float dt);

    // Evens out every neighbouring pair that differs by more than the step.
    void Relax();
    double Mean() const;

    int ColumnCount() const { return m_columns; }
    const std::vector<double>& Levels() const { return m_levels; }
    const std::vector<double>& DisplayLevels() const { return m_display; }
    double Total() const { return m_total; }
    double Meter() const { return m_meter; }
    bool IsFull() const { return m_full; }
    State StateCode() const { return m_state; }
    const std::vector<FallingGrain>& FallingGrains() const { return m_grains; }

    // Written by the game and the board: on while a level runs.
    bool draining = false;
    // Fraction of the box drained per second in normal mode (the level's
    // balance values overwrite it when the level starts running).
    double drainRate = 0.04;
    // Share of each column's sand that slides one column left per second.
    double flowFactor = 5.0;
    // Fraction of the box drained per second in full mode.
    double fullDrainRate = 0.1;
    // Meter gained per unit of grain amount landing in full mode.
    double meterGain = 0.1;
    // Levels per second at which the display levels follow.
    double displaySpeed = 5.0;

private:
    void UpdateNormal(float dt);
    void UpdateFull(float dt);
    void FillColumn(int column, double h, int* changedLo, int* changedHi);
    // Spreads an overflow outwards from the full stretch left .. right.
    void Spread(double overflow, int left, int right, int* changedLo, int* changedHi);
    // Passes over the pairs until one changes nothing; the first pass looks
    // at pairs first .. last only, which is enough when every other pair
    // was even already.
    void RelaxFrom(int first, int last);
    void Drain(double fraction);
    void Flow(float dt);
    void FollowDisplay(float dt);

    bool m_full = false;
    State m_state = State::Quiet;
    int m_columns = 0;
    std::vector<double> m_levels;
    std::vector<double> m_display;
    double m_total = 0.0;
    double m_meter = 0.0;
    std::vector<FallingGrain> m_grains;
};
