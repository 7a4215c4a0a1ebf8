// STAND-IN until the power totems are built: the totems manager's calls the
// board makes. It owns no totem, is always idle and produces no action;
// the real manager replaces this file in place.
#pragma once

class CTotemsManager {
public:
    int CountOwnedColours() const { return 0; }
    bool IsIdle() const { return true; }
    void PlacePendingTotem() {}
    void QueueTotem(int) {}
    void SetBlueTotemsActive(bool on) { blueTotemsActive = on; }
    // Non-zero when it produced actions for the board.
    int Update(float) { return 0; }
    // The totems' copy of the board geometry.
    void SetBoardGrid(float, float, float, int, int, float, float) {}

    bool blueTotemsActive = false;
};
