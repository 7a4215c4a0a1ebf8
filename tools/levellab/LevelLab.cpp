// The level lab: every level file of an installation, checked and played on
// the real board (null device, no window).
//
//   levellab --seeds N <installation>
//
// For each file: it must parse without a log line, and its goal must be at
// least 1 and at least its gem cells; 200 seeded first fills must take the
// start layout as written (no fallback, no run, a move, gems on coloured
// tokens, digits and steel in their cells); 200 reshuffles must bring a new
// board with a move and the fixed tokens back. Then a reference player plays
// it N times at 60 frames a second: 1.5 s after the board comes to rest it
// plays the move that strikes most gem tokens (lowest on the board first,
// then at random), and on "no move left" the board is reshuffled. A level is
// fair when the goal falls within the 240 s of an unupgraded level (and the
// seconds its clock bonuses give) in 90 % of the plays; the stages' medians
// must rise, and level 1's stay under 40 % of the time.
//
// It prints a row per level, the log lines of a failing file, and exits with
// 1 when any check failed.
#include "LabBoard.h"
#include "ReferencePlayer.h"

#include "balance/BalanceState.h"
#include "engine/Random.h"
#include "platform/System.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kLevels = 41;
constexpr int kFills = 200;
constexpr float kTimeLimit = 240.0f;
constexpr float kFrame = 1.0f / 60.0f;
constexpr float kFairShare = 0.9f;
constexpr float kFirstLevelShare = 0.4f;
// The totem lesson's fills are tried at the first level a totem can be
// owned: after the first visit to the shop.
constexpr int kTotemLessonLevel = 6;

struct LevelReport {
    LevelReport(std::string name, int number) : file(std::move(name)), level(number) {}

    std::string file; // "l7.lvl"
    int level = 0;    // 0 for the totem lesson
    std::vector<std::string> failures;
    std::string log; // the failing checks' log lines
    int goal = 0, colours = 0;
    std::string obstacles;
    std::vector<float> seconds; // per play; -1 when the goal was not reached
    int reshuffles = 0;
    float median = 0.0f, p90 = 0.0f;
};

// The q-quantile of the times, an unreached goal counting as endless.
float Quantile(std::vector<float> seconds, float q)
{
    if (seconds.empty())
        return 0.0f;
    for (float& s : seconds)
        if (s < 0.0f)
            s = INFINITY;
    std::sort(seconds.begin(), seconds.end());
    const float at = q * static_cast<float>(seconds.size() - 1);
    return seconds[static_cast<size_t>(std::lround(at))];
}

template <typename Test>
int CountCells(const CLevelData::Rows& rows, Test test)
{
    int n = 0;
    for (const std::string& row : rows)
        n += static_cast<int>(std::count_if(row.begin(), row.end(), test));
    return n;
}

// The file parses cleanly and its goal can be met.
void CheckFile(LabBoard& lab, LevelReport& report)
{
    bool loaded = false;
    const BoardSetup setup =
        lab.StartLevel(report.level ? report.level : kTotemLessonLevel, report.file, Lesson::None, &loaded);
    const std::string log = lab.TakeLog();
    if (!loaded || !log.empty()) {
        report.failures.push_back("does not parse cleanly");
        report.log += log;
        return;
    }
    const CLevelData& level = *setup.levelData;
    report.colours = static_cast<int>(setup.colours.size());
    report.goal = level.gemsCount;
    const int steel = CountCells(level.beginRows, [](char c) { return c == 's'; });
    const int chains = CountCells(level.lockRows, [](char c) { return c >= '1' && c <= '9'; });
    char text[64];
    std::snprintf(text, sizeof text, "s%d+%d c%d+%d", steel, setup.steelCap, chains, setup.lockCap);
    report.obstacles = text;
    if (report.level == 0)
        return; // the totem lesson keeps the level's own goal
    const int gemCells = CountCells(level.gemRows, [](char c) { return c == 'g'; });
    if (level.gemsCount < 1 || level.gemsCount < gemCells)
        report.failures.push_back("GEMSCOUNT below 1 or below its " + std::to_string(gemCells) + " gem cells");
}

// What is wrong with the board the fill left, or "".
std::string CheckFilledBoard(const CGameBoard& b, const CLevelData& level, bool asWritten)
{
    const BoardGeometry g = b.Geometry();
    CMatchAnalyser codes;
    codes.Resize(g.columns, g.rows);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            const CountedHandle<CToken>& t = b.Cell(c, r);
            if (!t)
                return "an empty cell";
            codes.Cell(c, r) = CGameBoard::AnalyserCode(*t);
            if (!asWritten)
                continue;
            const char ch = level.beginRows[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (ch >= '0' && ch <= '6' && t->colour != ch - '0')
                return "a digit cell in another colour";
            if (ch == 's' && t->colour != kSteelColour)
                return "an s cell without steel";
            if (level.gemRows[static_cast<size_t>(r)][static_cast<size_t>(c)] == 'g' &&
                (!t->gem || t->colour == kSteelColour))
                return "a g cell without a gem on a coloured token";
        }
    if (codes.HasReadyRun(3, false))
        return "a run stands";
    if (!codes.HasPossibleMove(3, false))
        return "no move";
    return "";
}

struct Fixed {
    int column, row, colour, chained, gem;
};

std::vector<Fixed> FixedTokens(const CGameBoard& b)
{
    std::vector<Fixed> fixed;
    const BoardGeometry g = b.Geometry();
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c)
            if (const CountedHandle<CToken>& t = b.Cell(c, r))
                if (t->settled)
                    fixed.push_back({c, r, t->colour, t->chained, t->gem});
    return fixed;
}

// 200 seeded first fills of the level, each followed by a reshuffle.
void CheckFills(LabBoard& lab, LevelReport& report)
{
    std::map<std::string, int> faults; // what went wrong, in how many fills
    for (uint32_t seed = 0; seed < kFills; ++seed) {
        lab.Seed(seed);
        CGameBoard& b = *lab.board;
        if (report.level == 0)
            lab.totems->levels[seed % CTotemsManager::kColours] = 1;
        lab.StartLevel(report.level ? report.level : kTotemLessonLevel, report.file,
                       report.level == 0 ? Lesson::Totem : Lesson::None);
        lab.FirstFill();
        const std::string log = lab.TakeLog();
        if (!log.empty()) {
            ++faults["first fill: the start layout fell back to random letters"];
            if (report.log.empty())
                report.log = log;
        }
        const std::string first = CheckFilledBoard(b, *b.LevelData(), true);
        if (!first.empty())
            ++faults["first fill: " + first];
        const std::vector<Fixed> fixed = FixedTokens(b);
        lab.Reshuffle();
        const std::string again = CheckFilledBoard(b, *b.LevelData(), false);
        if (!again.empty())
            ++faults["reshuffle: " + again];
        for (const Fixed& f : fixed) {
            const CountedHandle<CToken>& t = b.Cell(f.column, f.row);
            if (!t || t->colour != f.colour || t->chained != f.chained || t->gem != f.gem || !t->settled) {
                ++faults["reshuffle: a fixed token not back in place"];
                break;
            }
        }
        lab.totems->levels.fill(0);
    }
    for (const auto& [what, count] : faults)
        report.failures.push_back(what + " (" + std::to_string(count) + " of " + std::to_string(kFills) + ")");
}

// One play of the level; the seconds to its goal (-1 when the time ran out)
// and the reshuffles it needed.
float Play(LabBoard& lab, const LevelReport& report, uint32_t seed, int* reshuffles)
{
    lab.Seed(seed);
    CGameBoard& b = *lab.board;
    lab.StartLevel(report.level, report.file);
    float idle = 0.0f;
    // A clock bonus gives the level more time, as the game's clock takes it.
    int frames = static_cast<int>(kTimeLimit / kFrame);
    std::vector<BoardEvent> events;
    for (int frame = 1; frame <= frames; ++frame) {
        b.Update(kFrame, -2000.0f, -2000.0f);
        lab.CollectGems();
        b.Events().TakeDeferred(&events);
        bool won = false;
        for (const BoardEvent& e : events) {
            won = won || e.kind == BoardEventKind::LevelWon;
            if (e.kind == BoardEventKind::TimeBonus && std::isfinite(e.seconds) && e.seconds > 0.0f)
                frames += static_cast<int>(e.seconds / kFrame);
            if (e.kind == BoardEventKind::NoMoveLeft) {
                // The flow's reshuffle: the refill waits for the falling tokens.
                b.ShuffleAnimated(1.5f, 30);
                b.SetLocked(false);
                ++*reshuffles;
            }
        }
        if (won)
            return static_cast<float>(frame) * kFrame;
        const bool resting = b.Status().inPlay && b.IsIdle();
        idle = resting ? idle + kFrame : 0.0f;
        MatchMove move;
        if (idle >= kReferenceThinkTime && ChooseReferenceMove(b, &move)) {
            b.Swap(move.column1, move.row1, move.column2, move.row2, false);
            idle = 0.0f;
        }
    }
    return -1.0f;
}

void PlayLevel(LabBoard& lab, LevelReport& report, int seeds)
{
    if (report.level == 0)
        return;
    for (int seed = 0; seed < seeds; ++seed)
        report.seconds.push_back(Play(lab, report, 1000u + static_cast<uint32_t>(seed), &report.reshuffles));
    report.median = Quantile(report.seconds, 0.5f);
    report.p90 = Quantile(report.seconds, 0.9f);
    const auto reached =
        std::count_if(report.seconds.begin(), report.seconds.end(), [](float s) { return s >= 0; });
    if (static_cast<float>(reached) < kFairShare * static_cast<float>(seeds))
        report.failures.push_back("unfair: the goal within " + std::to_string(static_cast<int>(kTimeLimit)) +
                                  " s in only " + std::to_string(reached) + " of " + std::to_string(seeds) +
                                  " plays");
}

std::string Seconds(float s)
{
    return std::isfinite(s) ? std::to_string(static_cast<int>(std::lround(s))) : ">240";
}

void PrintRow(const LevelReport& r, int seeds)
{
    const std::string goal = r.level ? std::to_string(r.goal) : "-";
    const std::string median = r.level ? Seconds(r.median) : "-";
    const std::string p90 = r.level ? Seconds(r.p90) : "-";
    char shuffles[16] = "-";
    if (r.level && seeds > 0)
        std::snprintf(shuffles, sizeof shuffles, "%.1f", static_cast<double>(r.reshuffles) / seeds);
    std::printf("%-10s %5s %8d  %-12s %7s %7s %11s  %s\n", r.file.c_str(), goal.c_str(), r.colours,
                r.obstacles.c_str(), median.c_str(), p90.c_str(), shuffles, r.failures.empty() ? "ok" : "FAILED");
    for (const std::string& failure : r.failures)
        std::printf("    %s\n", failure.c_str());
    if (!r.failures.empty() && !r.log.empty()) {
        std::printf("    log:\n");
        std::string line;
        for (char c : r.log) {
            if (c != '\n') {
                line += c;
                continue;
            }
            std::printf("      %s\n", line.c_str());
            line.clear();
        }
        if (!line.empty())
            std::printf("      %s\n", line.c_str());
    }
}

// The stages' medians, over every play of their levels, rise; and level 1
// is quick.
bool CheckCurve(const std::vector<LevelReport>& reports)
{
    std::map<int, std::vector<float>> stages;
    for (const LevelReport& r : reports) {
        if (r.level == 0)
            continue;
        int stage = 0, inStage = 0;
        SplitLevelNumber(r.level, &stage, &inStage);
        stages[stage].insert(stages[stage].end(), r.seconds.begin(), r.seconds.end());
    }
    bool ok = true;
    float before = 0.0f;
    std::printf("\nstage medians:");
    for (const auto& [stage, medians] : stages) {
        const float m = Quantile(medians, 0.5f);
        std::printf(" %d: %s s", stage, Seconds(m).c_str());
        if (stage > 1 && !(m > before))
            ok = false;
        before = m;
    }
    std::printf("%s\n", ok ? "" : "  FAILED: the medians do not rise from stage to stage");
    const float first = reports.empty() ? 0.0f : reports.front().median;
    if (!(first < kFirstLevelShare * kTimeLimit)) {
        std::printf("level 1's median of %s s is not under %d s\n", Seconds(first).c_str(),
                    static_cast<int>(kFirstLevelShare * kTimeLimit));
        ok = false;
    }
    return ok;
}

int Usage()
{
    std::fprintf(stderr, "usage: levellab --seeds N <installation>\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || std::strcmp(argv[1], "--seeds") != 0)
        return Usage();
    const int seeds = std::atoi(argv[2]);
    if (seeds < 1 || chdir(argv[3]) != 0)
        return Usage();
    const auto start = std::chrono::steady_clock::now();
    LabBoard lab;
    if (!lab.Ready()) {
        std::fprintf(stderr, "levellab: the caps pictures and animations are not installed in %s\n", argv[3]);
        return 2;
    }
    std::vector<LevelReport> reports;
    for (int level = 1; level <= kLevels; ++level)
        reports.emplace_back("l" + std::to_string(level) + ".lvl", level);
    reports.emplace_back("Totem.lvl", 0);

    std::printf("%-10s %5s %8s  %-12s %7s %7s %11s\n", "file", "goal", "colours", "obstacles", "median", "p90",
                "reshuffles");
    bool ok = true;
    for (LevelReport& report : reports) {
        CheckFile(lab, report);
        if (report.failures.empty()) {
            CheckFills(lab, report);
            PlayLevel(lab, report, seeds);
        }
        PrintRow(report, seeds);
        ok = ok && report.failures.empty();
    }
    ok = CheckCurve(reports) && ok;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%d plays per level, %.0f s; %s\n", seeds, took.count(), ok ? "all checks passed" : "FAILED");
    return ok ? 0 : 1;
}
