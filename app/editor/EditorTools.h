// The editor's tools beside the brush and Pixelate: each is chosen by its key
// and by three items named after it (Menu<name> in the Edit menu, ImagePop<name>
// in the picture's menu, ToolPop<name> in the drop-down of ButtonTools), and is
// made anew each time it is chosen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/editor/MarkObject.h"
#include "app/editor/Tool.h"
#include "app/editor/ToolSettings.h"

// What the tools share: the colour, width and font, and the objects selected.
struct EditorState {
    ToolSettings settings = ToolSettings::Load();
    std::vector<std::uint64_t> selection;
    // Reads the text of a part of the picture (its place on the screen given).
    std::function<void(const glimra::PixelView& part, RECT place)> readText;
};

struct EditorTool {
    const char* name;
    WORD key;
    std::unique_ptr<Tool> (*make)(ToolContext& context, EditorState& state);
};

std::unique_ptr<Tool> MakeCropTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeRectangleTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeEllipseTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeLineTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeArrowTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeHighlighterTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeTextTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeStepNumberTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeTextAreaTool(ToolContext& context, EditorState& state);
std::unique_ptr<Tool> MakeSelectTool(ToolContext& context, EditorState& state);
// Types the text of a text object again in place; `done` is called when the
// typing ends, after the change is made.
std::unique_ptr<Tool> MakeTextEditor(ToolContext& context, EditorState& state,
                                     const MarkObject& editing, std::function<void()> done);

inline constexpr EditorTool kEditorTools[] = {
    {"Crop", 'C', MakeCropTool},         {"Rectangle", 'R', MakeRectangleTool},
    {"Ellipse", 'E', MakeEllipseTool},   {"Line", 'L', MakeLineTool},
    {"Arrow", 'A', MakeArrowTool},       {"Highlighter", 'H', MakeHighlighterTool},
    {"Text", 'T', MakeTextTool},         {"StepNumber", 'N', MakeStepNumberTool},
    {"TextArea", 'X', MakeTextAreaTool}, {"Select", 'V', MakeSelectTool},
};
