#include "ui/StandardClasses.h"

#include "ui/LayoutLoader.h"
#include "ui/TBevel.h"
#include "ui/TBitBtn.h"
#include "ui/TButton.h"
#include "ui/TColorDialog.h"
#include "ui/TImage.h"
#include "ui/TImageList.h"
#include "ui/TLabel.h"
#include "ui/TMainMenu.h"
#include "ui/TMenuItem.h"
#include "ui/TPanel.h"
#include "ui/TPopupMenu.h"
#include "ui/TPrintDialog.h"
#include "ui/TSaveDialog.h"
#include "ui/TScrollBox.h"
#include "ui/TSpeedButton.h"
#include "ui/TStaticText.h"
#include "ui/TTimer.h"
#include "ui/TToolBar.h"
#include "ui/TToolButton.h"
#include "ui/TTrayIcon.h"

namespace ui {

void RegisterStandardClasses() {
    static const bool done = [] {
        layout::RegisterComponentClass<TTimer>("TTimer");
        layout::RegisterComponentClass<TPanel>("TPanel");
        layout::RegisterComponentClass<TImage>("TImage");
        layout::RegisterComponentClass<TLabel>("TLabel");
        layout::RegisterComponentClass<TStaticText>("TStaticText");
        layout::RegisterComponentClass<TButton>("TButton");
        layout::RegisterComponentClass<TBitBtn>("TBitBtn");
        layout::RegisterComponentClass<TBevel>("TBevel");
        layout::RegisterComponentClass<TSpeedButton>("TSpeedButton");
        layout::RegisterComponentClass<TScrollBox>("TScrollBox");
        layout::RegisterComponentClass<TMainMenu>("TMainMenu");
        layout::RegisterComponentClass<TPopupMenu>("TPopupMenu");
        layout::RegisterComponentClass<TMenuItem>("TMenuItem");
        layout::RegisterComponentClass<TImageList>("TImageList");
        layout::RegisterComponentClass<TToolBar>("TToolBar");
        layout::RegisterComponentClass<TToolButton>("TToolButton");
        layout::RegisterComponentClass<TTrayIcon>("TTrayIcon");
        layout::RegisterComponentClass<TColorDialog>("TColorDialog");
        layout::RegisterComponentClass<TSaveDialog>("TSaveDialog");
        layout::RegisterComponentClass<TPrintDialog>("TPrintDialog");
        return true;
    }();
    (void)done;
}

}  // namespace ui
