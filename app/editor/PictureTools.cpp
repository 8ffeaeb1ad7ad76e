#include "app/editor/PictureTools.h"

#include "app/editor/PanTool.h"

PictureTools::PictureTools(ToolContext context)
    : context_(context), active_(std::make_unique<PanTool>(context_)) {}

void PictureTools::Choose(std::unique_ptr<Tool> tool) {
    active_->Cancel();
    active_ = tool ? std::move(tool) : std::make_unique<PanTool>(context_);
    active_->Chosen();
}
