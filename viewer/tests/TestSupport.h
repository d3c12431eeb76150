#pragma once
// Shared helpers of the viewer model tests: a screen mapping, recording prompts and busy box,
// reading DXF text from memory, and running the ezdxf helper scripts.

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "DXF_read.h"
#include "DXF_structs.h"
#include "Thinkbox.h"
#include "canvas/RecordingCanvas.h"

namespace pv::viewer::test {

// One world unit is one pixel, y upwards, rounded half to even: (x, y) -> (x, -y).
inline canvas::TPoint UnitMap(void*, const Point3D& p, const Matrix4x4* m) {
  const Point3D q = m ? DXF_Utils::TransformPoint(*m, p) : p;
  return {static_cast<int32_t>(DXF_Utils::RoundHalfEven(q.x)), static_cast<int32_t>(DXF_Utils::RoundHalfEven(-q.y))};
}

// The drawing commands of a recording, without the pen, font and alignment changes.
inline std::vector<std::string> Drawn(const canvas::RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const auto& cmd : c.Commands()) {
    if (cmd.op != canvas::CanvasOp::SetPen && cmd.op != canvas::CanvasOp::SetFont &&
        cmd.op != canvas::CanvasOp::SetTextAlign) {
      out.push_back(cmd.ToString());
    }
  }
  return out;
}

class RecordingPrompts : public ReaderPrompts {
 public:
  std::vector<int> pauses;
  std::vector<std::string> warnings;
  std::vector<std::string> errors;
  std::vector<std::string> messages;
  bool answerOk = true;

  void Pause(int ms) override { pauses.push_back(ms); }
  bool ConfirmReadWarning(const std::string& text) override {
    warnings.push_back(text);
    return answerOk;
  }
  void ShowReadError(const std::string& text) override { errors.push_back(text); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

class RecordingBusyBox : public BusyBox {
 public:
  std::vector<std::string> calls;
  int32_t barMaximum = -1;
  int steps = 0;

  void ShowThinking(const canvas::TRect*, std::string_view message) override {
    calls.push_back("ShowThinking " + std::string(message));
  }
  void ShowThinkingWithBar(const canvas::TRect*, std::string_view message) override {
    calls.push_back("ShowThinkingWithBar " + std::string(message));
  }
  void HideThinking() override { calls.push_back("HideThinking"); }
  void SetBar(int32_t, int32_t maximum) override { barMaximum = maximum; }
  void StepBar() override { ++steps; }

  std::vector<std::string> Notes() const {
    std::vector<std::string> notes;
    for (const auto& c : calls) {
      if (c.rfind("ShowThinking ", 0) == 0) notes.push_back(c.substr(13));
    }
    return notes;
  }
};

// A drawing read from DXF text, with what the reader told the user.
struct ReadResult {
  RecordingPrompts prompts;
  RecordingBusyBox busy;
  std::vector<std::string> skipped;
  std::unique_ptr<DXF_Object> drawing = std::make_unique<DXF_Object>();
  bool isDxf = false;

  DXF_Layer* Layer(std::string_view name) const {
    for (int i = 0; i < drawing->LayerCount(); ++i) {
      if (drawing->Layer(static_cast<size_t>(i))->Name() == name) return drawing->Layer(static_cast<size_t>(i));
    }
    return nullptr;
  }
  // Entities in the list of that layer, 0 when there is no such list.
  size_t Count(std::string_view layer, std::string_view list) const {
    DXF_Layer* l = Layer(layer);
    if (!l) return 0;
    for (int i = 0; i < l->ListCount(); ++i) {
      if (l->List(static_cast<size_t>(i))->Name() == list) return l->List(static_cast<size_t>(i))->Count();
    }
    return 0;
  }
  template <typename T>
  T* Entity(std::string_view layer, std::string_view list, size_t index) const {
    DXF_Layer* l = Layer(layer);
    return l ? dynamic_cast<T*>(l->ListByName(list)->Entity(index)) : nullptr;
  }
};

inline std::unique_ptr<ReadResult> ReadDxfText(std::string text, bool answerOk = true) {
  auto result = std::make_unique<ReadResult>();
  result->prompts.answerOk = answerOk;
  DXF_Reader reader(DxfMemorySource(std::move(text)), result->busy, result->prompts);
  reader.SetMessages(&result->skipped);
  result->isDxf = reader.ReadDxfFile();
  result->drawing->AdoptLayers(reader.TakeLayers());
  result->drawing->SetExtents(reader.ExtMax(), reader.ExtMin());
  return result;
}

// Pairs written one per line: Dxf({"0", "SECTION", "2", "ENTITIES", ...}).
inline std::string Dxf(std::initializer_list<std::string_view> lines, std::string_view eol = "\n") {
  std::string out;
  for (auto line : lines) {
    out += line;
    out += eol;
  }
  return out;
}

// Runs a command; its standard output, or nothing when it failed.
inline bool RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  return pclose(pipe) == 0;
}

inline bool EzdxfAvailable() {
  std::string out;
  return RunCommand("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null", out);
}

}  // namespace pv::viewer::test
