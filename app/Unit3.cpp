#include "app/Unit3.h"

#include "app/BalloonTip.h"
#include "app/AfterCapture.h"
#include "app/CaptureCommands.h"
#include "app/CaptureDialogs.h"
#include "app/CaptureMenus.h"
#include "app/CommandAvailability.h"
#include "app/CommandServer.h"
#include "app/HoverTexts.h"
#include "app/MainMessages.h"
#include "app/OutputCommands.h"
#include "app/effects/EffectCommands.h"
#include "app/editor/PanTool.h"
#include "app/PictureCommands.h"
#include "app/PictureIntake.h"
#include "app/editor/PictureTools.h"
#include "app/RecordingSession.h"
#include "app/Settings.h"
#include "app/Shortcuts.h"
#include "app/SingleInstance.h"
#include "app/Statistics.h"
#include "app/editor/ToolChoice.h"
#include "app/ViewToggles.h"
#include "app/text/TextCommands.h"
#include "forms/Links.h"
#include "forms/Unit1.h"
#include "lang/windows/TMultiLanguage.h"
#include "ui/TApplication.h"
#include "ui/TMainMenu.h"
#include "ui/TMenuItem.h"
#include "ui/TPanel.h"
#include "ui/TPrintDialog.h"
#include "ui/TSaveDialog.h"
#include "ui/TScrollBox.h"
#include "ui/TSpeedButton.h"
#include "ui/TTimer.h"
#include "ui/TToolBar.h"
#include "ui/TTrayIcon.h"
#include "win/MessageFilter.h"

TMAIN* MAIN = nullptr;

using ui::TObject;

TMAIN::TMAIN(ui::TComponent* owner) : ui::TForm(owner) {
#define TMAIN_REGISTER_HANDLER(name) Handler(#name, &TMAIN::name);
    TMAIN_NOTIFY_HANDLERS(TMAIN_REGISTER_HANDLER)
#undef TMAIN_REGISTER_HANDLER
    Handler("FormClose", &TMAIN::FormClose);
    Handler("Image1MouseDown", &TMAIN::Image1MouseDown);
    Handler("Image1MouseMove", &TMAIN::Image1MouseMove);
    Handler("Image1MouseUp", &TMAIN::Image1MouseUp);
    for (const NamedHandlers& group :
         {HoverHandlers(*this), BrushMenuHandlers(*this, brush_), ToolChoice::Handlers(choice_),
          DelayHandlers(*this, options_), CaptureOptionHandlers(*this, options_),
          TextCommands::Handlers(text_)})
        for (const NamedHandler& h : group)
            HandlerFunction<ui::TNotifyEvent>(h.name.c_str(), h.handler);
}

TMAIN::~TMAIN() = default;

void TMAIN::Loaded() {
#define TMAIN_BIND_CONTROL(type, name) name = &Get<type>(#name);
    TMAIN_CONTROLS(TMAIN_BIND_CONTROL)
#undef TMAIN_BIND_CONTROL
    picture_ = std::make_unique<CurrentPicture>(*Image1);
    history_ = std::make_unique<History>(*picture_);
    objects_ = std::make_unique<MarkObjects>(*picture_, *history_);
    tools_ = std::make_unique<PictureTools>(
        ToolContext{*picture_, *history_, *objects_, *Image1, *ScrollBox1});
    after_ = std::make_unique<AfterCapture>(*this, options_, *TrayIcon1, Get<ui::TControl>("info"));
    captures_ = std::make_unique<CaptureCommands>(*this, *history_, *Timer1,
                                                  CaptureCommands::Counters{*Label2, *Label3},
                                                  options_, keys_, *after_);
    edits_ = std::make_unique<PictureCommands>(*this, *picture_, *history_,
                                               [this] { StartCommandRefresh(); });
    output_ = std::make_unique<OutputCommands>(*this, *picture_, *SaveDialog1, *PrinterSetupDialog);
    effects_ = std::make_unique<EffectCommands>(*this, *picture_, *history_, editor_.settings);
    captures_->prepare = [this](ui::TBitmap& picture, std::optional<PointerImage>& pointer,
                                POINT origin) {
        // Effects on every capture move its pixels within the picture: the
        // pointer goes into them first, under the effects.
        if (pointer && effects_->FramesEveryCapture()) {
            pointer->DrawInto(picture.Canvas().Handle(), origin);
            pointer.reset();
        }
        effects_->OnCapture(picture);
    };
    text_ = std::make_unique<TextCommands>(*this, Get<ui::TControl>("info"),
                                           [this] { return MultiLanguage1->LanguageName(); });
    text_->ShowChoice();
    captures_->readText = editor_.readText = [this](const glimra::PixelView& picture, RECT place) {
        text_->Read(picture, place);
    };
    captures_->readTextForCommand = [this](const glimra::PixelView& picture, RECT place) {
        return text_->ReadForCommand(picture, place);
    };
    intake_ = std::make_unique<PictureIntake>(
        *this, [this](ui::TBitmap& picture) { captures_->TakeOpened(picture); });
    view_ = std::make_unique<ViewToggles>(*this);
    choice_ = std::make_unique<ToolChoice>(*this, *tools_, brush_, editor_);
    choice_->ShowSettings();
    ShowCaptureOptions(*this, options_);
    ShowCaptureKeys(*this, keys_);
    availability_ = std::make_unique<CommandAvailability>(*this);
}

void TMAIN::NewCapture(std::optional<PointerImage> pointer, POINT origin) {
    objects_->RestartSteps();
    if (!pointer) return;
    history_->JoinWithNext();
    objects_->Add(MarkObject::OfPointer(std::move(*pointer), origin));
}

void TMAIN::FormCreate(TObject*) {
    // 1. The hands of drag-to-scroll.
    PanTool::RegisterCursors();
    // 2. The degree sign after the rotate captions.
    AddDegreeSigns(*this);
    // 3. The counters and the language of the last run; a failure ends this step
    // without a word.
    try {
        LoadSettings(*Label2, *Label3, *MultiLanguage1);
    } catch (...) {
    }
    // 4. The main menu on its tool bar.
    ToolBar2->SetMenu(MainMenu1);
}

void TMAIN::FirstShown() {
    // The statistics balloon on the corner panel of the status bar, and the icon
    // in the notification area. Each waits on another part of the system (the
    // tooltip window, the shell), and neither is seen before the window is.
    ShowStatisticsBalloon(*Panel4);
    TrayIcon1->SetVisible(true);
    // Frames that a recording left behind when the machine went down.
    RemoveRecordingLeftovers();
    // Another start asks a copy run as administrator to show itself too.
    win::AllowMessageFromAnyProcess(Handle(), ShowRunningCopyMessage());
    // Picture files dropped on the window are opened (DropFiles).
    ::DragAcceptFiles(Handle(), TRUE);
}

void TMAIN::ServeCommands(bool startedForCommand) {
    commands_ = std::make_unique<CommandServer>(*this, *captures_, options_, startedForCommand);
}

void TMAIN::FormClose(TObject*, ui::TCloseAction&) {
    // A failed save is reported, and the program still ends.
    ui::Guarded([this] { SaveSettings(*Label2, *Label3, *MultiLanguage1); });
}

void TMAIN::MenuClearStatisticClick(TObject*) {
    ClearStatistics(*Label2, *Label3);
}

void TMAIN::MultiLanguage1AfterLoad(TObject*) {
    // The menu bar makes its buttons again, with the new captions.
    ToolBar2->SetMenu(nullptr);
    ToolBar2->SetMenu(MainMenu1);
    OrderStatisticsLabels(*this);
}

void TMAIN::FormHide(TObject*) {
    // The hidden window goes to the top of the stacking order, so that it comes
    // back in front when it is shown again.
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMAIN::MenuExitClick(TObject*) {
    Close();
}

void TMAIN::TrayExitClick(TObject*) {
    Close();
}

bool TMAIN::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return HandleMainWindowMessage(*this, message, wParam, lParam, result);
}

void TMAIN::ButtonCaptureClick(TObject*) {
    captures_->Start(Capture::Desktop);
}

void TMAIN::ButtonCaptureActiveClick(TObject*) {
    captures_->Start(Capture::ActiveWindow);
}

void TMAIN::MenuSelectionClick(TObject*) {
    captures_->Start(Capture::Selection);
}

void TMAIN::MenuWindowControlClick(TObject*) {
    captures_->Start(Capture::WindowOrControl);
}

void TMAIN::MenuAllDisplaysClick(TObject*) {
    captures_->Start(Capture::AllDisplays);
}

void TMAIN::MenuLastRegionClick(TObject*) {
    captures_->Start(Capture::LastRegion);
}

void TMAIN::MenuScrollingClick(TObject*) {
    captures_->Start(Capture::Scrolling);
}

void TMAIN::MenuAutoSaveClick(TObject*) {
    EditAutoSave(Handle(), options_);
}

void TMAIN::MenuRecordClick(TObject*) {
    captures_->Start(Capture::Recording);
}

void TMAIN::MenuTextFromRegionClick(TObject*) {
    captures_->Start(Capture::TextFromRegion);
}

void TMAIN::MenuCopyTextClick(TObject*) {
    RECT place{};
    ::GetWindowRect(ScrollBox1->Handle(), &place);
    text_->Read(picture_->View(), place);
}

void TMAIN::MenuOpenClick(TObject*) {
    intake_->OpenWithDialog();
}

void TMAIN::MenuPasteClick(TObject*) {
    intake_->Paste();
}

void TMAIN::DropFiles(HDROP drop) {
    intake_->Drop(drop);
}

void TMAIN::MenuScrollFromCurrentClick(TObject*) {
    ToggleScrollFromCurrent(*this, options_);
}

void TMAIN::MenuAutoCopyClick(TObject*) {
    ToggleAutoCopy(*this, options_);
}

void TMAIN::MenuKeysClick(TObject*) {
    if (EditKeys(Handle(), keys_)) ShowCaptureKeys(*this, keys_);
}

void TMAIN::MenuPinClick(TObject*) {
    captures_->Pin(picture_->View());
}

void TMAIN::Timer1Timer(TObject*) {
    captures_->Poll();
}

void TMAIN::MenuToolBarClick(TObject*) {
    view_->ToggleToolBar();
}

void TMAIN::MenuImageEditClick(TObject*) {
    view_->ToggleImageEdit();
}

void TMAIN::MenuStatusBarClick(TObject*) {
    view_->ToggleStatusBar();
}

void TMAIN::MenuShowAllClick(TObject*) {
    view_->ShowAll();
}

void TMAIN::MenuShowNoneClick(TObject*) {
    view_->ShowNone();
}

void TMAIN::StartCommandRefresh() {
    isjunkt->SetEnabled(true);
}

void TMAIN::isjunktTimer(TObject*) {
    availability_->Refresh(HasPicture());
    isjunkt->SetEnabled(false);
}

void TMAIN::Image1MouseEnter(TObject*) {
    tools_->Enter();
}

void TMAIN::Image1MouseDown(TObject*, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                            int Y) {
    tools_->Press(Button, Shift, X, Y);
}

void TMAIN::Image1MouseMove(TObject*, ui::TShiftState Shift, int X, int Y) {
    tools_->Move(Shift, X, Y);
}

void TMAIN::Image1MouseUp(TObject*, ui::TMouseButton Button, ui::TShiftState Shift, int X, int Y) {
    tools_->Release(Button, Shift, X, Y);
}

void TMAIN::ImagePopGrayscaleClick(TObject*) {
    edits_->Grayscale();
}

void TMAIN::ImagePopBrightenClick(TObject*) {
    edits_->Brighten();
}

void TMAIN::ImagePopDarkenClick(TObject*) {
    edits_->Darken();
}

void TMAIN::ImagePopInvertClick(TObject*) {
    edits_->Invert();
}

void TMAIN::MenuEffectBorderClick(TObject*) {
    effects_->Run(Effect::Border);
}

void TMAIN::MenuEffectShadowClick(TObject*) {
    effects_->Run(Effect::Shadow);
}

void TMAIN::MenuEffectTornEdgeClick(TObject*) {
    effects_->Run(Effect::TornEdge);
}

void TMAIN::MenuEffectCornersClick(TObject*) {
    effects_->Run(Effect::RoundedCorners);
}

void TMAIN::ButtonClearClick(TObject*) {
    edits_->Clear();
}

void TMAIN::ButtonEditRotateClick(TObject*) {
    edits_->Rotate90();
}

void TMAIN::ImagePopRotate90Click(TObject*) {
    edits_->Rotate90();
}

void TMAIN::ImagePopRotate180Click(TObject*) {
    edits_->Rotate180();
}

void TMAIN::ImagePopFlipVerticalClick(TObject*) {
    edits_->FlipVertical();
}

void TMAIN::ImagePopFlipHorizontalClick(TObject*) {
    edits_->FlipHorizontal();
}

void TMAIN::MenuUndoClick(TObject*) {
    edits_->Undo();
}

void TMAIN::MenuRedoClick(TObject*) {
    edits_->Redo();
}

void TMAIN::ButtonBrushClick(TObject*) {
    choice_->BrushClicked();
}

void TMAIN::ImagePopCustomClick(TObject*) {
    ChooseCustomColour(*this, brush_);
}

void TMAIN::ButtonPixelateClick(TObject*) {
    choice_->PixelateClicked();
}

void TMAIN::ButtonToolsClick(TObject*) {
    choice_->RepeatClicked();
}

void TMAIN::MenuPixelateClick(TObject* Sender) {
    ButtonPixelate->SetDown(!ButtonPixelate->Down());
    ButtonPixelateClick(Sender);
}

bool TMAIN::IsShortCut(const MSG& msg) {
    return ::GetActiveWindow() == Handle() && MainWindowKey(*this, *tools_, *choice_, msg);
}

void TMAIN::TrayIcon1DblClick(TObject*) {
    ShowMainWindow();
}

void TMAIN::TrayMainWindowClick(TObject*) {
    ShowMainWindow();
}

void TMAIN::ButtonAboutClick(TObject*) {
    SetEnabled(false);
    about->Show();
}

void TMAIN::MenuVisitwebsiteClick(TObject*) {
    OpenPage(Handle(), kWebsiteAddress);
}

void TMAIN::MenuDonateClick(TObject*) {
    OpenPage(Handle(), kDonationAddress);
}

void TMAIN::TrayWebsiteClick(TObject*) {
    OpenPage(Handle(), kWebsiteAddress);
}

void TMAIN::TrayDonateClick(TObject*) {
    OpenPage(Handle(), kDonationAddress);
}

void TMAIN::ButtonSaveClick(TObject*) {
    output_->Save();
}

void TMAIN::SaveDialog1TypeChange(TObject*) {
    output_->SaveTypeChanged();
}

void TMAIN::ButtonPrintClick(TObject*) {
    output_->Print();
}

void TMAIN::ImagePopCopyClick(TObject*) {
    output_->Copy();
}
