// A scripted player of the bonus levels, for the scripted quest, the bonus
// levels' own tests and the challenges' benchmark. It plays only through the
// game's mouse handlers and the space bar, with what a sharp-eyed player
// sees: where the stars fly, the pictures under the plates, the plate that
// hides the token, the plate that flashes. Aiming to win it catches the
// stars, turns pairs, answers right and stops on tokens; aiming to lose it
// lets the stars and the plates be, answers wrong and stops on empty plates.
// It closes the rules box and the trophies a bonus level brings.
#pragma once

#include "GameHarness.h"
#include "OneGemLeft.h"

#include <vector>

// Clicks the visible control of `form` with the command's id; false when
// there is none.
inline bool ClickCommand(GameHarness& game, const CountedHandle<CQoForm>& form, Command command)
{
    for (size_t i = 0; i < form->ChildCount(); ++i) {
        const CQoWindow& control = *form->Child(i);
        if (control.id == IdOf(command) && control.IsVisible()) {
            game.Click(control);
            return true;
        }
    }
    return false;
}

// A player whose quest stands one swap before a level's end (OneGemLeft.h):
// from the main menu the quest goes on, the swap strikes the last gem, the
// results come (with the trophies they bring, closed) and "Continue" leads
// on. Null when it did, else what did not come.
inline const char* PlayTheLastSwap(GameHarness& game)
{
    CGameScreens& screens = *game->services.screens;
    if (!game.RunUntil([&] { return GameHarness::Shown(screens.mainMenu.form); }, 30.0f))
        return "the main menu";
    ClickCommand(game, screens.mainMenu.form, Command::PlayQuest);
    if (!game.RunUntil([&] { return GameHarness::Shown(screens.startQuest.form); }, 5.0f))
        return "the quest to continue";
    ClickCommand(game, screens.startQuest.form, Command::ContinueQuest);
    if (!game.RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsIdle(); }, 15.0f))
        return "play";
    using namespace one_gem_left;
    const Vec2 from = game.Cell(kFromColumn, kFromRow), to = game.Cell(kToColumn, kToRow);
    game.Click(from.x, from.y);
    game.Click(to.x, to.y);
    if (!game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 30.0f))
        return "the results";
    if (game->flow.trophies.OverLevel()) {
        game.RunUntil([&] { return game->services.trophies->pendingAwards.empty(); }, 10.0f);
        ClickCommand(game, screens.trophies.form, Command::TrophiesContinue);
    }
    if (!game.RunUntil([&] { return GameHarness::Shown(screens.statistics.form); }, 10.0f))
        return "the statistics";
    ClickCommand(game, screens.statistics.form, Command::ResultsContinue);
    return nullptr;
}

class ChallengePlayer {
public:
    enum class Aim { Win, Lose };

    ChallengePlayer(GameHarness& game, Aim aim) : m_game(game), m_aim(aim) {}

    // The player's look and move, before a frame.
    void Act()
    {
        CGame& g = *m_game;
        if (!g.flow.IsIn<CBonusLevel>())
            return;
        CloseTheRules();
        CloseTheTrophies();
        m_wait -= GameHarness::kFrame;
        if (m_wait > 0.0f)
            return;
        const RunningChallenge& c = g.flow.bonusLevel.Challenge();
        if (c.accuracy)
            Catch(*c.accuracy);
        else if (c.memory)
            Turn(*c.memory);
        else if (c.attention)
            Answer(*c.attention);
        else if (c.reaction)
            Stop(*c.reaction);
    }
    // Frames with the player until the bonus level has gone (false when it
    // is still on after `limit` seconds).
    bool PlayToTheEnd(float limit)
    {
        for (float t = 0.0f; t < limit; t += GameHarness::kFrame) {
            if (!m_game->flow.IsIn<CBonusLevel>())
                return true;
            Act();
            m_game.Frames(1);
        }
        return !m_game->flow.IsIn<CBonusLevel>();
    }

    // The rules box's "Continue" when the rules show.
    void CloseTheRules()
    {
        CGameScreens& screens = *m_game->services.screens;
        if (GameHarness::Shown(screens.msgBox.form) && screens.AskedQuestion() == Question::BonusLevelRules)
            ClickCommand(m_game, screens.msgBox.form, Command::MessageOk);
    }
    // The trophies the bonus level brought, once their awards have flown.
    void CloseTheTrophies()
    {
        CGame& g = *m_game;
        if (g.flow.IsAt<CBonusLevel>(CBonusLevel::kTrophies) &&
            GameHarness::Shown(g.services.screens->trophies.form) && g.services.trophies->pendingAwards.empty() &&
            !g.services.trophies->AwardRunning())
            ClickCommand(m_game, g.services.screens->trophies.form, Command::TrophiesContinue);
    }
    int clicks = 0, stops = 0;
    // Seconds between two clicks on stars.
    float catchPause = 0.2f;

private:
    void ClickAt(const Vec3& p, float pause)
    {
        m_game.Click(p.x, p.y);
        ++clicks;
        m_wait = pause;
    }
    // The oldest free star over the board, a click every `catchPause`.
    void Catch(const CAccuracyChallenge& accuracy)
    {
        if (m_aim == Aim::Lose || !accuracy.IsWaitingForPlayer())
            return;
        for (const CountedHandle<CAccuracyStar>& star : accuracy.Stars())
            if (star->state == CAccuracyStar::kFree && star->sprite && star->sprite->x < 480.0f) {
                ClickAt(Vec3{star->sprite->x, star->sprite->y, 0.0f}, catchPause);
                return;
            }
    }
    // A plate whose pair has not been found, then its partner.
    void Turn(const CMemoryChallenge& memory)
    {
        if (m_aim == Aim::Lose || !memory.IsWaitingForPlayer())
            return;
        if (m_partner) {
            const CountedHandle<CPlate> partner = m_partner;
            m_partner.Reset();
            ClickAt(partner->Position(), 0.0f);
            return;
        }
        std::vector<CountedHandle<CPlate>> open;
        for (int r = 0; r < memory.Rows(); ++r)
            for (int c = 0; c < memory.Columns(); ++c)
                if (const CountedHandle<CPlate> plate = memory.PlateAt(c, r); plate && !memory.IsFound(c, r))
                    open.push_back(plate);
        for (size_t i = 0; i < open.size(); ++i)
            for (size_t j = i + 1; j < open.size(); ++j)
                if (open[i]->TokenCode() == open[j]->TokenCode()) {
                    m_partner = open[j];
                    ClickAt(open[i]->Position(), 0.0f);
                    return;
                }
    }
    // The plate that hides the token, or the first of the others.
    void Answer(const CAttentionChallenge& attention)
    {
        if (!attention.IsWaitingForPlayer())
            return;
        const size_t pick = m_aim == Aim::Win ? CAttentionChallenge::kTokenPlate : 0;
        if (pick < attention.Plates().size() && attention.Plates()[pick])
            ClickAt(attention.Plates()[pick]->Position(), 0.5f);
    }
    // The space bar while a token (or, to lose, an empty plate) shows.
    void Stop(const CReactionChallenge& reaction)
    {
        const CountedHandle<CPlate>& open = reaction.OpenPlate();
        if (!reaction.IsWaitingForPlayer() || !open || open->ShownFrame() < 2)
            return;
        if (open->IsEmpty() != (m_aim == Aim::Lose))
            return;
        m_game.Key(32);
        ++stops;
        m_wait = 0.5f;
    }

    GameHarness& m_game;
    Aim m_aim;
    float m_wait = 0.0f;
    CountedHandle<CPlate> m_partner;
};
