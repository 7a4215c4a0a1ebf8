// The shop between two levels.
#include "game/flow/ShopVisit.h"

#include "engine/StringTable.h"
#include "game/QuestState.h"
#include "game/Services.h"
#include "game/flow/Flow.h"

// The shop's pictures come with it, whichever way it is reached: a lost
// level's way back reloads the level, which brings the quest's back.
void CShopVisit::Open()
{
    m_services.SwapPanelTextures(true, m_quest.gameType);
    m_services.shop->Show(1, 2.0f, m_quest.level + 1);
    m_services.screens->ShowForm(m_services.screens->shop.form, 2.0f);
    m_flow.Enter(*this);
}

void CShopVisit::Reopen()
{
    m_services.questSave->state = 0;
    Open();
    if (m_services.music)
        m_services.music->FadeTo(2);
}

void CShopVisit::Close()
{
    CGameServices& s = m_services;
    s.shop->SettleStars();
    s.shop->Show(0, 2.0f, m_quest.level + 1);
    m_quest.Store(CQuestSave::kResumeInShop, true);
    s.questSave->state = 2;
    s.screens->HideForm(s.screens->shop.form, 2.0f);
    m_flow.lessons.HideShopLesson();
    s.screens->FillMapScreen(m_quest.level + 1, 1);
    s.screens->ShowForm(s.screens->map.form, 2.0f);
    m_flow.mapMarch.Start(m_quest.level, m_quest.level + 1);
}

void CShopVisit::RunTheShop(float dt)
{
    CGameServices& s = m_services;
    if (s.shop->Update(dt, m_flow.cursorX, m_flow.cursorY) != 1 || !m_quest.levelWon)
        return;
    s.shop->SettleStars();
    m_quest.Store(m_flow.ResumeKind(), true);
    m_quest.WriteCheckpoint();
    const CountedHandle<CProfile>& player = m_quest.profile;
    if (player && player->questTutorial && !player->tutShop)
        m_flow.lessons.ShowStep(Lesson::Shop, 0);
}

bool CShopVisit::TakesPressFirst(float, float)
{
    if (!m_flow.lessons.ShopLessonShown())
        return false;
    m_flow.lessons.HideShopLesson();
    return true;
}

bool CShopVisit::Key(int key)
{
    if (key != plat::VK_RETURN || !m_flow.lessons.ShopLessonShown())
        return false;
    m_flow.lessons.HideShopLesson();
    return true;
}

void CShopVisit::Press(float x, float y, const ScreenPress&) { m_services.shop->OnMouseDown(x, y); }

void CShopVisit::Release(float x, float y) { m_services.shop->OnMouseUp(x, y); }

InputResult CShopVisit::OnCommand(Command command)
{
    CGameServices& s = m_services;
    if (IsBetween(command, Command::ItemPlusFirst, Command::ItemPlusLast)) {
        if (s.shop->CountAvailableStars() > 0) {
            s.shop->ChangeLevel(IndexIn(command, Command::ItemPlusFirst), 1);
        } else {
            s.screens->shop.form->SetEnabled(false);
            s.ShowMessage(GetString(60), CGameScreens::kGroupOk, Question::NoStarsLeft, 4.0f);
        }
    } else if (IsBetween(command, Command::ItemMinusFirst, Command::ItemMinusLast)) {
        s.shop->ChangeLevel(IndexIn(command, Command::ItemMinusFirst), 0);
    } else if (command == Command::ShopToMenu) {
        m_flow.SaveQuestAndLeave(false);
    } else if (command == Command::ShopDone) {
        if (s.shop->OpenFraction() < 1.0f)
            return InputResult::Continue;
        if (s.shop->CountAvailableStars() > 0 && s.shop->CanStillUpgrade()) {
            s.screens->shop.form->SetEnabled(false);
            s.ShowMessage(GetString(59), CGameScreens::kGroupYesNo, Question::StarsLeft, 4.0f);
        } else {
            Close();
        }
    } else if (command == Command::MessageYes && s.screens->AskedQuestion() == Question::StarsLeft) {
        Close();
    }
    return InputResult::Continue;
}
