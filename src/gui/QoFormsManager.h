// Owner of the top-level forms: keeps them in descending z-order, draws the
// visible ones with their texts in the frame's GUI step, passes mouse input
// to every form that takes it and gathers their events, and keeps a stack of
// modal levels that switch other forms' input off while a dialog is shown.
#pragma once

#include "engine/FrameLayers.h"
#include "gui/QoForm.h"

#include <vector>

class CQoFormsManager : public IGuiLayer {
public:
    CQoFormsManager();

    // Before the first form whose z-order is lower or equal: a new form comes
    // before older forms of its z-order. A form whose z-order changes is
    // removed and added again.
    void AddForm(const CountedHandle<CQoForm>& form);
    // The first entry that is the form; false when there is none. The modal
    // stack keeps its records.
    bool RemoveForm(const CountedHandle<CQoForm>& form);
    // Every sprite of every visible form, in list order.
    void Render();
    // Layer `pass` of every visible form's sprites in list order, each form's
    // texts right after its sprites in pass 1.
    void RenderPass(int32_t pass);
    void RenderGui() override { RenderPass(1); }

    // Switches the input of every other active form off until PopModal.
    void PushModal(const CountedHandle<CQoForm>& dialog);
    // Switches on exactly the forms the top level switched off.
    void PopModal();
    void ClearModal();

    // Virtual-screen coordinates (origin at the centre, y up); buttons 0 to 2.
    // Each returns the number of events gathered in Events().
    int OnMouseDown(float x, float y, int button);
    int OnMouseUp(float x, float y, int button);
    int OnMouseMove(float x, float y, float dt);

    const std::vector<GuiEvent>& Events() const { return m_events; }
    const std::vector<CountedHandle<CQoForm>>& Forms() const { return m_forms; }
    size_t ModalDepth() const { return m_modal.size(); }

private:
    template <typename Call>
    int Dispatch(float x, float y, Call call);

    std::vector<CountedHandle<CQoForm>> m_forms; // descending z-order
    std::vector<GuiEvent> m_events;
    std::vector<std::vector<CountedHandle<CQoForm>>> m_modal;
};
