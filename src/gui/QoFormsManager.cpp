#include "gui/QoFormsManager.h"

#include <algorithm>

namespace {
constexpr size_t kFormCapacity = 32;
constexpr size_t kEventCapacity = 128;
constexpr size_t kModalCapacity = 8;
} // namespace

CQoFormsManager::CQoFormsManager()
{
    m_forms.reserve(kFormCapacity);
    m_events.reserve(kEventCapacity);
    m_modal.reserve(kModalCapacity);
}

void CQoFormsManager::AddForm(const CountedHandle<CQoForm>& form)
{
    if (!form)
        return;
    const auto at = std::find_if(m_forms.begin(), m_forms.end(),
                                 [&](const CountedHandle<CQoForm>& f) { return f->zOrder <= form->zOrder; });
    m_forms.insert(at, form);
}

bool CQoFormsManager::RemoveForm(const CountedHandle<CQoForm>& form)
{
    const auto at = std::find(m_forms.begin(), m_forms.end(), form);
    if (at == m_forms.end())
        return false;
    m_forms.erase(at);
    return true;
}

void CQoFormsManager::Render()
{
    for (const CountedHandle<CQoForm>& form : m_forms)
        if (form->IsVisible() && form->SpriteRenderer())
            form->SpriteRenderer()->Render();
}

// Each form's texts follow its sprites, so a form lower in the list covers
// the texts of the forms above it too. Forms are expected to have text layers
// of their own: two visible forms on one batch and layer would each draw the
// other's texts.
void CQoFormsManager::RenderPass(int32_t pass)
{
    for (const CountedHandle<CQoForm>& form : m_forms) {
        if (!form->IsVisible())
            continue;
        if (form->SpriteRenderer())
            form->SpriteRenderer()->RenderLayer(pass);
        if (pass == 1 && form->TextBatch())
            form->TextBatch()->Draw(form->TextLayer());
    }
}

void CQoFormsManager::PushModal(const CountedHandle<CQoForm>& dialog)
{
    std::vector<CountedHandle<CQoForm>> switchedOff;
    for (const CountedHandle<CQoForm>& form : m_forms)
        if (!(form == dialog) && form->active) {
            form->active = false;
            switchedOff.push_back(form);
        }
    m_modal.push_back(std::move(switchedOff));
}

void CQoFormsManager::PopModal()
{
    if (m_modal.empty())
        return;
    for (const CountedHandle<CQoForm>& form : m_modal.back())
        form->active = true;
    m_modal.pop_back();
}

void CQoFormsManager::ClearModal()
{
    while (!m_modal.empty())
        PopModal();
}

// Every form that takes input gets the call, highest z-order first; one
// form's events do not withhold the call from the others.
template <typename Call>
int CQoFormsManager::Dispatch(float x, float y, Call call)
{
    m_events.clear();
    for (const CountedHandle<CQoForm>& form : m_forms) {
        CQoForm& f = *form;
        if (!f.TakesInput() || call(f, x - f.relativePosition.x, y - f.relativePosition.y) <= 0)
            continue;
        m_events.insert(m_events.end(), f.Events().begin(), f.Events().end());
    }
    return static_cast<int>(m_events.size());
}

int CQoFormsManager::OnMouseDown(float x, float y, int button)
{
    return Dispatch(x, y, [button](CQoForm& f, float fx, float fy) { return f.OnMouseDown(fx, fy, button); });
}

int CQoFormsManager::OnMouseUp(float x, float y, int button)
{
    return Dispatch(x, y, [button](CQoForm& f, float fx, float fy) { return f.OnMouseUp(fx, fy, button); });
}

int CQoFormsManager::OnMouseMove(float x, float y, float dt)
{
    return Dispatch(x, y, [dt](CQoForm& f, float fx, float fy) { return f.OnMouseMove(fx, fy, dt); });
}
