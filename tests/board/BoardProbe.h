// The board's tests reach into it through this probe: they lay tokens out
// cell by cell and set the inner states a fixture needs (a lesson, a cascade
// under way, the colours drawn from) without playing up to them.
#pragma once

#include "board/GameBoard.h"

#include <utility>
#include <vector>

class BoardProbe {
public:
    explicit BoardProbe(CGameBoard& board) : m_board(board) {}

    // A still, active board token of `colour` (a gem on it when asked) in
    // the cell, chained `chains` times.
    void Place(int column, int row, int colour, bool gem, int chains)
    {
        CGameBoard& b = m_board;
        const Vec2 centre = b.CellToPoint(column, row, false);
        auto t = b.m_movingTokens.CreateToken(colour, gem, centre.x, centre.y, 0, b.m_tokenSize, 1, b.m_originX,
                                              b.m_originY, b.m_originZ);
        t->kind = kBoardToken;
        t->moveKind = 1;
        t->active = 1;
        t->column = column;
        t->row = row;
        t->cap->hoverLight = 1;
        if (chains > 0)
            t->SetChained(chains);
        b.CellRef(column, row) = t;
    }
    // No first fill is due: the board takes the cells as they stand.
    void FillDone() { m_board.m_firstFill = 0; }
    void SetLesson(Lesson lesson, int step)
    {
        m_board.m_lesson = lesson;
        m_board.m_lessonStep = step;
    }
    void SetSwapRefused(bool refused) { m_board.m_swapRefused = refused; }
    int32_t WrongSwapPrompts() const { return m_board.m_wrongSwapPrompts; }
    void SetCascade(int32_t count) { m_board.m_cascadeCount = count; }
    void SetColours(std::vector<int32_t> colours) { m_board.m_colours = std::move(colours); }
    void SetSteel(float rate, int32_t cap)
    {
        m_board.m_steelRate = rate;
        m_board.m_steelCap = cap;
    }
    void SetChains(float rate, int32_t cap)
    {
        m_board.m_lockRate = rate;
        m_board.m_lockCap = cap;
    }
    int DrawColour() { return m_board.DrawColour(); }
    bool GemGoalReached() const { return m_board.GemGoalReached(); }
    // The no-move search runs at the next update.
    void SearchForMovesNow() { m_board.m_noMoveTimer = 1.0f; }
    void Shake(float impulse) { m_board.m_shake.AddImpulse(impulse); }
    bool Shaking() const { return m_board.m_shake.IsShaking(); }
    CSandbox& Sandbox() { return *m_board.m_sandbox; }
    CGemsBar& GemsBar() { return *m_board.m_gemsBar; }
    CBoardMesh& Mesh() { return *m_board.m_mesh; }
    CTerminatorsManager& Rays() { return *m_board.m_rays; }
    CBonusManager& Bonuses() { return *m_board.m_bonuses; }
    CTotemsManager& Totems() { return *m_board.m_totems; }
    void SetParticles(const CountedHandle<CParticleSystemsManager>& particles)
    {
        m_board.m_particles = m_board.m_particlesFront = particles;
    }
    bool SwapsUnderWay() const { return !m_board.m_swapsActive.empty(); }
    bool Shuffle(int steelOnBoard, int chainedOnBoard) { return m_board.Shuffle(steelOnBoard, chainedOnBoard); }
    // The codes the last shuffle or refill drew.
    const CMatchAnalyser& Analyser() const { return m_board.m_analyser; }
    int32_t FirstFill() const { return m_board.m_firstFill; }
    const std::vector<std::vector<ShuffleCell>>& Remembered() const { return m_board.m_cellInfo; }
    CAdviserInterface& Adviser() { return *m_board.m_adviser; }
    int32_t SteelCap() const { return m_board.m_steelCap; }
    void SetEnabled(bool enabled) { m_board.m_enabled = enabled; }
    float ShakeAmplitude() const { return m_board.m_shake.Amplitude(); }
    // The bonuses' side of the board, one step at a time.
    void GiveBonus(int column, int row, const CountedHandle<CBonus>& bonus)
    {
        m_board.GiveBonus(*m_board.CellRef(column, row), bonus);
    }
    void FireBonus(const CountedHandle<CBonus>& bonus) { m_board.ApplyBonusFire(bonus); }
    void ApplyBonusEvents() { m_board.ApplyBonusEvents(); }
    bool DestroyCell(int column, int row) { return m_board.DestroyCellToken(column, row, 0.0f, true); }
    void EndPlay() { m_board.EndPlay(); }

private:
    CGameBoard& m_board;
};
