// The property lines and "property" blocks of a property list in the document text format.

#include "base/TextHelpers.h"
#include "props/PropList.h"
#include "props/PropRefList.h"
#include "props/TextFormat.h"

namespace pv::graphics {

namespace {

// Sub-properties of obj at indent; top: obj is the list's own property (the list's stored
// test applies), else a nested object (its own stored rules apply).
void AppendSubProperties(std::string& out, TPropList& list, TCustomProp& obj, std::string_view indent, bool top,
                         bool saveAll) {
  const int count = obj.PublishedCount();
  for (int i = 0; i < count; ++i) {
    const TPublishedInfo info = obj.PublishedInfo(i);
    const bool stored = top ? (saveAll || list.IsPropStored(obj, info.name)) : obj.PublishedStored(i);
    if (!stored) continue;
    if (info.kind == TPropKind::SubProperties) {
      TCustomProp* nested = obj.PublishedObject(i);
      if (!nested) continue;
      const std::string inner = std::string(indent) + "  ";
      std::string body;
      AppendSubProperties(body, list, *nested, inner, false, false);
      if (body.empty()) continue;
      out.append(indent).append("property ").append(info.name).append("\r\n");
      out.append(body);
      out.append(indent).append("end\r\n");
      continue;
    }
    AppendValueLines(out, indent, info.name, obj.GetPublished(i), static_cast<int>(info.kind));
  }
}

struct ReadingScope {
  explicit ReadingScope(bool& flag) : flag_(flag), previous_(flag) { flag = true; }
  ~ReadingScope() { flag_ = previous_; }
  bool& flag_;
  bool previous_;
};

}  // namespace

void TPropList::SaveToFiler(TVexaFiler& filer, std::string_view indent, bool saveAll) {
  for (size_t i = 0; i < Size(); ++i) {
    TCustomProp& prop = *At(i);
    if (!saveAll && (prop.HasFlag(pfNotStored) || !IsPropStored(prop, {}))) continue;
    SaveProp(filer, prop, prop.NameText(), indent, saveAll);
  }
}

void TPropList::SaveProp(TVexaFiler& filer, TCustomProp& prop, std::string_view name, std::string_view indent,
                         bool saveAll) {
  std::string out;
  const TPropKind kind = prop.GetPropType({});
  if (kind == TPropKind::SubProperties) {
    std::string body;
    AppendSubProperties(body, *this, prop, std::string(indent) + "  ", true, saveAll);
    if (body.empty()) return;
    out.append(indent).append("property ").append(name).append("\r\n");
    out.append(body);
    out.append(indent).append("end\r\n");
  } else {
    AppendValueLines(out, indent, name, prop.GetPropValue({}), static_cast<int>(kind));
  }
  filer.SaveBuffer(out.data(), out.size());
}

bool TPropList::LoadProp(TVexaFiler& filer, std::string_view line) {
  if (line.empty()) return false;
  if (StartsWithKeyword(line, "property")) return LoadPropBlock(filer, line);
  return LoadPropLine(filer, line);
}

void TPropList::ApplyValue(TCustomProp& prop, std::string_view subName, const PropValue& value) {
  if (prop.OwnerList() == this && prop.HasFlag(pfReference) && refList_ && !IsResolving()) {
    refList_->AddDeferred(prop, subName, value);
    return;
  }
  ReadingScope reading(reading_);
  prop.SetPropValue(subName, value);
}

bool TPropList::LoadPropLine(TVexaFiler& filer, std::string_view line) {
  std::string_view name, text;
  if (!SplitPropLine(line, name, text)) return false;
  TCustomProp* prop = PropByName(name);
  // An unknown name drops the line; further lines of its value drop as lines of their own.
  if (!prop) return false;
  ApplyValue(*prop, {}, ReadValue(filer, text));
  return true;
}

bool TPropList::LoadPropBlock(TVexaFiler& filer, std::string_view line) {
  const size_t blank = line.find(' ');
  const std::string_view name = blank == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(blank + 1));
  TCustomProp* prop = name.empty() ? nullptr : PropByName(name);
  if (!prop) {
    filer.SkipBlock();
    return false;
  }
  LoadSubProperties(filer, *prop);
  return true;
}

void TPropList::LoadSubProperties(TVexaFiler& filer, TCustomProp& obj) {
  const bool top = obj.OwnerList() == this;
  std::string line;
  while (filer.ReadLine(line)) {
    if (IsBlockEnd(line)) break;
    if (StartsWithKeyword(line, "property")) {
      const size_t blank = line.find(' ');
      const std::string_view sub = blank == std::string::npos ? std::string_view() : TrimBlanks(std::string_view(line).substr(blank + 1));
      const int index = sub.empty() ? -1 : obj.IndexOfPublished(sub);
      TCustomProp* nested = index < 0 ? nullptr : obj.PublishedObject(index);
      if (nested) {
        LoadSubProperties(filer, *nested);
      } else {
        filer.SkipBlock();
      }
      continue;
    }
    std::string_view sub, text;
    if (!SplitPropLine(line, sub, text)) continue;
    const std::string subName(sub);
    PropValue value = ReadValue(filer, text);
    if (top) {
      ApplyValue(obj, subName, value);
    } else {
      ReadingScope reading(reading_);
      obj.SetPropValue(subName, value);
    }
  }
}

}  // namespace pv::graphics
