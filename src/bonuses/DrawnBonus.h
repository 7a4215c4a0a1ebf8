// What the six bonus kinds other than the gem share: two sets of drawing
// services, the riding set (the renderers over the caps) and the set over
// the HUD, one of which is current, and the chores done the same way for
// every sprite a kind lists: hiding and showing, shifting the draw order
// and moving between the sets. Each kind says which sprites it has and
// what else those chores mean for it.
#pragma once

#include "bonuses/Bonus.h"
#include "bonuses/BonusKit.h"

class CDrawnBonus : public CBonus {
public:
    void Hide() override;
    void Show() override;
    void ShowPictures(bool shown) override;
    int IsIdle() const override { return events.Empty() ? 1 : 0; }
    void SetZOrder(int32_t z) override;
    void SetDrawGroup(int32_t group) override;

    BonusDrawSet current, group1, group0;

protected:
    // Takes its sprites out of their renderer; each kind's destructor calls
    // it, while the kind still knows its sprites.
    void RemoveSprites();
    void SetGroups(BonusDrawSet riding, BonusDrawSet overHud);

    class SpriteVisitor {
    public:
        virtual void Visit(CountedHandle<CSprite>& sprite) = 0;

    protected:
        ~SpriteVisitor() = default;
    };
    // Every sprite the kind has now (empty handles may be skipped).
    virtual void VisitSprites(SpriteVisitor& visitor) = 0;
    // The renderer that holds the kind's sprites.
    virtual const CountedHandle<CSpriteRenderer>& Holder() const { return current.sprites; }
    // What else hiding, showing and moving to the other set mean for a kind.
    virtual void OnHide() {}
    virtual void OnShow() {}
    virtual void OnDrawGroupChanged() {}

    template <typename Fn>
    void ForEachSprite(Fn fn)
    {
        struct Adapter final : SpriteVisitor {
            explicit Adapter(Fn& f) : call(f) {}
            void Visit(CountedHandle<CSprite>& sprite) override
            {
                if (sprite)
                    call(sprite);
            }
            Fn& call;
        } adapter(fn);
        VisitSprites(adapter);
    }
};
