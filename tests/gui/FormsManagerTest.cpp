// The forms manager: its z-ordered list, the events of a click gathered
// across a form and its controls, the modal stack and the drawing pass.
#include "GuiTestSupport.h"

#include "gui/QoButton.h"
#include "gui/QoFormsManager.h"

namespace {

constexpr auto kForm = WindowKind::Form;
constexpr auto kButton = WindowKind::Button;
constexpr auto kStatic = WindowKind::Static;

CountedHandle<CQoForm> MakeForm(GuiRig& rig, int32_t id, int32_t z, float x = 0)
{
    auto form = rig.Make<CQoForm>();
    form->id = id;
    form->SetBaseSize(200, 200);
    form->SetTiling({}, {}, {}, 20, 10, 10, 20);
    form->SetZOrder(z);
    form->SetPosition(x, 0, 0, 0, 0, 0);
    return form;
}

} // namespace

TEST(FormsManager, KeepsFormsInDescendingZOrderNewestFirstAmongEquals)
{
    GuiRig rig;
    CQoFormsManager manager;
    auto ten = MakeForm(rig, 10, 10), zero = MakeForm(rig, 0, 0), five = MakeForm(rig, 5, 5);
    auto otherFive = MakeForm(rig, 55, 5);
    manager.AddForm(ten);
    manager.AddForm(zero);
    manager.AddForm(five);
    manager.AddForm(otherFive);
    ASSERT_EQ(manager.Forms().size(), 4u);
    EXPECT_EQ(manager.Forms()[0], ten);
    EXPECT_EQ(manager.Forms()[1], otherFive);
    EXPECT_EQ(manager.Forms()[2], five);
    EXPECT_EQ(manager.Forms()[3], zero);
    EXPECT_TRUE(manager.RemoveForm(five));
    EXPECT_FALSE(manager.RemoveForm(five));
    EXPECT_EQ(manager.Forms().size(), 3u);
}

// A form (id 1) at x 100 holding a button (id 5) at its centre and a static
// (id 6) above it.
TEST(FormsManager, AClickOnAButtonOfAFormYieldsTheWholeEventList)
{
    GuiRig rig;
    CQoFormsManager manager;
    auto form = MakeForm(rig, 1, 0, 100);
    auto button = rig.Make<CQoButton>();
    button->id = 5;
    button->SetBaseSize(50, 20);
    form->AddChild(button);
    auto label = rig.Make<CQoStatic>();
    label->id = 6;
    label->SetBaseSize(50, 20);
    label->relativePosition = {0, 50, 0};
    form->AddChild(label);
    manager.AddForm(form);

    EXPECT_EQ(manager.OnMouseDown(103, 4, 0), 2);
    EXPECT_EQ(manager.Events(),
              (Events{{GuiCode::LeftDown, 1, 3, 4, kForm}, {GuiCode::LeftDown, 5, 3, 4, kButton}}));
    EXPECT_EQ(manager.OnMouseUp(103, 4, 0), 5);
    EXPECT_EQ(manager.Events(), (Events{{GuiCode::LeftUp, 1, 3, 4, kForm},
                                        {GuiCode::Click, 1, 3, 4, kForm},
                                        {GuiCode::LeftUp, 5, 3, 4, kButton},
                                        {GuiCode::Click, 5, 3, 4, kButton},
                                        {GuiCode::LeftUp, 6, 3, -46, kStatic}}));
    // A button number out of range yields nothing and leaves the button up.
    manager.OnMouseDown(103, 4, 0);
    EXPECT_EQ(manager.OnMouseUp(103, 4, 7), 0);
    EXPECT_TRUE(manager.Events().empty());
    EXPECT_TRUE(button->IsPressed(0));
}

TEST(FormsManager, ModalLevelsSwitchOtherFormsOffAndRestoreExactlyThose)
{
    GuiRig rig;
    CQoFormsManager manager;
    auto a = MakeForm(rig, 1, 0), b = MakeForm(rig, 2, 0), dormant = MakeForm(rig, 3, 0);
    auto dialog = MakeForm(rig, 4, 10), inner = MakeForm(rig, 5, 20);
    dormant->active = false;
    for (const auto& f : {a, b, dormant, dialog, inner})
        manager.AddForm(f);

    manager.PushModal(dialog);
    EXPECT_FALSE(a->active);
    EXPECT_TRUE(dialog->active);
    EXPECT_FALSE(inner->active);
    manager.OnMouseDown(0, 0, 0);
    EXPECT_EQ(manager.Events(), (Events{{GuiCode::LeftDown, 4, 0, 0, kForm}}));
    manager.PopModal();
    EXPECT_TRUE(a->active);
    EXPECT_TRUE(b->active);
    EXPECT_FALSE(dormant->active); // inactive before the push, inactive after the pop
    EXPECT_EQ(manager.OnMouseDown(0, 0, 0), 4);

    manager.PushModal(dialog);
    manager.PushModal(inner);
    EXPECT_FALSE(dialog->active);
    EXPECT_EQ(manager.ModalDepth(), 2u);
    manager.ClearModal();
    EXPECT_EQ(manager.ModalDepth(), 0u);
    for (const auto& f : {a, b, dialog, inner})
        EXPECT_TRUE(f->active);
    EXPECT_FALSE(dormant->active);
    manager.PopModal(); // nothing left: nothing happens
}

TEST(FormsManager, AHiddenFormIsNeitherDrawnNorGivenInput)
{
    GuiRig rig;
    CQoFormsManager manager;
    auto form = MakeForm(rig, 1, 0);
    auto button = rig.Make<CQoButton>();
    button->SetBaseSize(50, 20);
    form->AddChild(button);
    manager.AddForm(form);

    int draws = rig.log().draws;
    manager.RenderGui();
    EXPECT_GT(rig.log().draws, draws);
    form->SetVisible(false);
    draws = rig.log().draws;
    manager.RenderGui();
    EXPECT_EQ(rig.log().draws, draws);
    EXPECT_EQ(manager.OnMouseDown(0, 0, 0), 0);
    EXPECT_FALSE(button->IsPressed(0));
    form->SetVisible(true);
    EXPECT_EQ(manager.OnMouseDown(0, 0, 0), 2);
}

// The frame renderer holds the manager as its GUI layer, and a form can be
// the sender of a game event; both share the object's one count.
TEST(FormsManager, HandlesConvertToTheLayerAndTheEventSender)
{
    GuiRig rig;
    auto manager = MakeCountedHandle(new CQoFormsManager());
    CountedHandle<IGuiLayer> layer = manager;
    EXPECT_EQ(manager.UseCount(), 2u);
    auto form = MakeForm(rig, 1, 0);
    CountedHandle<CEventSource> sender = form;
    EXPECT_EQ(sender.Get(), static_cast<CEventSource*>(form.Get()));
    EXPECT_EQ(form.UseCount(), 2u);
}
