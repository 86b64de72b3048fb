#include "sectwright/linker_script_generator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <sstream>
#include <string_view>

#include "base/h_exception.h"
#include "base/split_list.h"
#include "base/strings.h"
#include "sectwright/script_values.h"
#include "target/memory_map_element.h"

namespace tidewater {
namespace {

using Kind = MemoryMapElement::Kind;

constexpr std::string_view kStartupTablesSection = ".startup_tables";

/// Names the C library and the unwinder expect at the bounds of some sections.
struct LibrarySymbols {
  std::string_view section;
  std::array<std::string_view, 2> atStart;
  std::array<std::string_view, 2> atEnd;
};
constexpr LibrarySymbols kLibrarySymbols[] = {
    {".preinit_array", {"__preinit_array_start"}, {"__preinit_array_end"}},
    {".init_array", {"__init_array_start"}, {"__init_array_end"}},
    {".fini_array", {"__fini_array_start"}, {"__fini_array_end"}},
    {".ARM.exidx", {"__exidx_start"}, {"__exidx_end"}},
    {".bss", {}, {"end", "_end"}},
};

const LibrarySymbols* librarySymbolsOf(std::string_view section) {
  for (const LibrarySymbols& entry : kLibrarySymbols) {
    if (entry.section == section) return &entry;
  }
  return nullptr;
}

/// A program section resolved against the memory segments: where it runs and
/// where it is loaded (the same segment unless it runs elsewhere), with every
/// number evaluated and every text checked for the script.
struct PlacedSection {
  std::string name;
  std::string id;
  const MemorySegmentSpec* loadSegment = nullptr;
  const MemorySegmentSpec* runSegment = nullptr;
  /// One input-section description per line, KEEP already applied.
  std::vector<std::string> inputs;
  bool loaded = true;
  uint64_t alignment = 0;
  std::optional<uint32_t> fillPattern;
  std::optional<uint32_t> start;
  std::optional<uint32_t> size;
  std::string addressSymbol;
  std::string endSymbol;
  std::string sizeSymbol;

  bool runsElsewhere() const { return runSegment != loadSegment; }
  std::string startSymbol() const { return "__" + id + "_start__"; }
  std::string endSymbolName() const { return "__" + id + "_end__"; }
};

/// Splits an inputsections text into its input-section descriptions, each
/// ending with the parenthesis that closes it or with a blank at depth 0.
/// Empty when the text holds anything that could end the description early.
std::optional<std::vector<std::string>> inputDescriptions(std::string_view text) {
  if (text.find("/*") != std::string_view::npos || text.find("*/") != std::string_view::npos) {
    return std::nullopt;
  }
  std::vector<std::string> items;
  std::string item;
  int depth = 0;
  const auto finish = [&] {
    if (!item.empty()) items.push_back(std::move(item));
    item.clear();
  };
  for (const char c : text) {
    if (std::string_view("{};=\"'").find(c) != std::string_view::npos) return std::nullopt;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (depth == 0) {
        finish();
      } else if (!item.empty() && item.back() != ' ') {
        item += ' ';
      }
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) return std::nullopt;
    item += c;
    if (c == ')' && depth == 0) finish();
  }
  if (depth != 0) return std::nullopt;
  finish();
  if (items.empty()) return std::nullopt;
  return items;
}

class PlacementReader {
 public:
  PlacementReader(const std::vector<MemorySegmentSpec>& segments, const std::string& placementName,
                  const ScriptSettings& settings)
      : segments_(segments), placementName_(placementName), settings_(settings),
        parser_(settings.symbols) {}

  std::vector<PlacedSection> read(const MemoryMapElement& root) {
    // Document order with an explicit stack, as a placement may nest deeply.
    std::vector<const MemoryMapElement*> pending{&root};
    bool anySegmentKnown = false;
    while (!pending.empty()) {
      const MemoryMapElement* element = pending.back();
      pending.pop_back();
      if (element->elementKind() == Kind::MemorySegment) {
        if (const MemorySegmentSpec* segment = firstPresent(element->nameAttribute())) {
          anySegmentKnown = true;
          readSections(*element, *segment);
        }
        continue;
      }
      const std::size_t firstChild = pending.size();
      for (const XMLElement* child = element->firstChildElement(); child;
           child = child->nextSiblingElement()) {
        if (auto* mapChild = dynamic_cast<const MemoryMapElement*>(child)) {
          pending.push_back(mapChild);
        }
      }
      std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
    }
    if (!anySegmentKnown) {
      throw HException(placementName_ + ": the placement names no segment of the memory map");
    }
    return std::move(sections_);
  }

 private:
  /// The first of the ";"-separated alternatives that is a known segment.
  const MemorySegmentSpec* firstPresent(std::string_view names) const {
    for (const std::string& item : splitEscapedList(names)) {
      const std::string_view name = trimmed(item);
      for (const MemorySegmentSpec& segment : segments_) {
        if (segment.name == name) return &segment;
      }
    }
    return nullptr;
  }

  void readSections(const MemoryMapElement& segmentElement, const MemorySegmentSpec& segment) {
    for (const XMLElement* child = segmentElement.firstChildElement(); child;
         child = child->nextSiblingElement()) {
      auto* element = dynamic_cast<const MemoryMapElement*>(child);
      if (element && element->elementKind() == Kind::ProgramSection) {
        sections_.push_back(readSection(*element, segment));
      }
    }
  }

  PlacedSection readSection(const MemoryMapElement& element, const MemorySegmentSpec& segment) {
    const std::string where = elementLocation(element, placementName_) + ": ";
    PlacedSection section;
    section.name = element.nameAttribute();
    if (!isSectionName(section.name)) {
      throw HException(where + "bad section name \"" + section.name + "\"");
    }
    const bool duplicate = std::any_of(sections_.begin(), sections_.end(),
                                       [&](const PlacedSection& s) { return s.name == section.name; });
    if (duplicate) throw HException(where + "section " + section.name + " is placed twice");
    const std::string what = where + "section " + section.name + ": ";
    section.id = sectionIdentifier(section.name);
    section.loadSegment = &segment;
    section.runSegment = &segment;
    section.loaded = element.loadAttribute() != "No";

    const std::string inputText = element.hasInputSections()
                                      ? element.inputSections()
                                      : "*(" + section.name + " " + section.name + ".*)";
    const auto inputs = inputDescriptions(inputText);
    if (!inputs) throw HException(what + "bad inputsections \"" + inputText + "\"");
    const bool keep = element.keep() == "Yes";
    for (const std::string& input : *inputs) {
      section.inputs.push_back(keep && !input.starts_with("KEEP(") ? "KEEP(" + input + ")" : input);
    }

    if (element.hasAlignment()) {
      const std::optional<uint64_t> alignment = parseIntegerLiteral(element.alignment());
      if (!alignment || !std::has_single_bit(*alignment) || *alignment > (uint64_t{1} << 31)) {
        throw HException(what + "alignment \"" + element.alignment() +
                         "\" is not a power of two");
      }
      section.alignment = *alignment;
    }

    if (element.hasFill()) {
      const std::optional<uint64_t> fill = parseIntegerLiteral(element.fill());
      if (!fill || *fill > UINT32_MAX) {
        throw HException(what + "fill \"" + element.fill() + "\" is not a 32-bit integer");
      }
      section.fillPattern = fillPattern(static_cast<uint32_t>(*fill));
    } else if (settings_.defaultFill) {
      section.fillPattern = fillPattern(*settings_.defaultFill);
    }
    if (!section.loaded) section.fillPattern.reset();

    if (element.hasRunIn()) {
      section.runSegment = firstPresent(element.runIn());
      if (!section.runSegment) {
        throw HException(what + "runin segment \"" + element.runIn() +
                         "\" is not in the memory map");
      }
      if (!section.loaded && section.runsElsewhere()) {
        throw HException(what + "a section that is not loaded cannot run in another segment");
      }
    }

    if (element.hasStartAttribute() && element.hasRunOffset()) {
      throw HException(what + "start and runoffset cannot both be given");
    }
    if (element.hasStartAttribute()) {
      // "+offset" counts from the start of the segment the section runs in.
      std::string text = element.startAttribute();
      const bool relative = trimmed(text).starts_with('+');
      if (relative) text = std::string(trimmed(text).substr(1));
      section.start = static_cast<uint32_t>(
          parser_.value32(what + "start: ", text) + (relative ? section.runSegment->start : 0));
    }
    if (element.hasRunOffset()) {
      section.start = static_cast<uint32_t>(section.runSegment->start +
                                            parser_.value32(what + "runoffset: ", element.runOffset()));
    }
    if (element.hasSizeAttribute()) section.size = parser_.value32(what + "size: ", element.sizeAttribute());

    section.addressSymbol = element.addressSymbol();
    section.endSymbol = element.endSymbol();
    section.sizeSymbol = element.sizeSymbol();
    for (const std::string* symbol :
         {&section.addressSymbol, &section.endSymbol, &section.sizeSymbol}) {
      if (!symbol->empty() && !isScriptIdentifier(*symbol)) {
        throw HException(what + "bad symbol name \"" + *symbol + "\"");
      }
    }
    return section;
  }

  const std::vector<MemorySegmentSpec>& segments_;
  const std::string& placementName_;
  const ScriptSettings& settings_;
  SymbolExpressionParser parser_;
  std::vector<PlacedSection> sections_;
};

void writeSymbols(std::ostream& out, const ScriptSettings& settings) {
  for (const SymbolAssignment& symbol : settings.symbols) {
    out << symbol.name << " = " << symbol.scriptText << ";\n";
  }
  if (!settings.symbols.empty()) out << '\n';
}

void writeMemory(std::ostream& out, const std::vector<MemorySegmentSpec>& segments) {
  out << "MEMORY\n{\n";
  for (const MemorySegmentSpec& segment : segments) {
    out << "  " << segment.name << (segment.readOnly ? " (rx)" : " (rwx)")
        << " : ORIGIN = " << hexText(segment.start) << ", LENGTH = " << hexText(segment.size)
        << '\n';
  }
  out << "}\n\n";
  for (const MemorySegmentSpec& segment : segments) {
    const std::string prefix = "__" + segment.name + "_segment_";
    const std::pair<std::string, uint64_t> symbols[] = {
        {prefix + "start__", segment.start},
        {prefix + "end__", segment.start + segment.size},
        {prefix + "size__", segment.size},
        {segment.addressSymbol, segment.start},
        {segment.endSymbol, segment.start + segment.size},
        {segment.sizeSymbol, segment.size}};
    for (const auto& symbol : symbols) {
      if (!symbol.first.empty()) out << symbol.first << " = " << hexText(symbol.second) << ";\n";
    }
  }
  out << '\n';
}

void writeSection(std::ostream& out, const PlacedSection& section, bool checkOverflow) {
  out << "  " << section.name;
  if (section.start) out << ' ' << hexText(*section.start);
  if (!section.loaded) out << " (NOLOAD)";
  out << " :";
  if (section.alignment) out << " ALIGN(" << section.alignment << ')';
  out << "\n  {\n";
  const LibrarySymbols* library = librarySymbolsOf(section.name);
  std::vector<std::string> atStart{section.startSymbol(), section.addressSymbol};
  std::vector<std::string> atEnd{section.endSymbolName(), section.endSymbol};
  if (library) {
    atStart.insert(atStart.end(), library->atStart.begin(), library->atStart.end());
    atEnd.insert(atEnd.end(), library->atEnd.begin(), library->atEnd.end());
  }
  for (const std::string& symbol : atStart) {
    if (!symbol.empty()) out << "    " << symbol << " = .;\n";
  }
  for (const std::string& input : section.inputs) out << "    " << input << '\n';
  if (section.size) {
    // The size reserves at least that much; more input makes the section grow.
    out << "    . = MAX(., " << section.startSymbol() << " + " << hexText(*section.size) << ");\n";
    if (section.alignment > 1) out << "    . = ALIGN(" << section.alignment << ");\n";
  }
  for (const std::string& symbol : atEnd) {
    if (!symbol.empty()) out << "    " << symbol << " = .;\n";
  }
  out << "  } > " << section.runSegment->name;
  if (section.runsElsewhere()) out << " AT > " << section.loadSegment->name;
  if (section.fillPattern) out << " =" << hexText(*section.fillPattern);
  out << '\n';

  const std::string loadStart = "__" + section.id + "_load_start__";
  const std::string loadEnd = "__" + section.id + "_load_end__";
  if (section.runsElsewhere()) {
    out << "  " << loadStart << " = LOADADDR(" << section.name << ");\n";
    out << "  " << loadEnd << " = LOADADDR(" << section.name << ") + SIZEOF(" << section.name
        << ");\n";
  } else if (section.loaded) {
    // Start-up code copies every loaded section from its load address; for a
    // section that runs where it is loaded the copy is a no-op.
    out << "  " << loadStart << " = " << section.startSymbol() << ";\n";
    out << "  " << loadEnd << " = " << section.endSymbolName() << ";\n";
  }
  if (!section.sizeSymbol.empty()) {
    out << "  " << section.sizeSymbol << " = " << section.endSymbolName() << " - "
        << section.startSymbol() << ";\n";
  }
  if (checkOverflow) {
    // One check right after each section rather than one per segment at the
    // end: LLD stops after a number of errors, and its own region errors for
    // the sections that follow would otherwise hide this message.
    const auto check = [&out](const std::string& end, const MemorySegmentSpec& segment) {
      out << "  ASSERT(" << end << " <= __" << segment.name
          << "_segment_end__, \"section placement overflows segment " << segment.name << "\")\n";
    };
    check(section.endSymbolName(), *section.runSegment);
    if (section.runsElsewhere()) check(loadEnd, *section.loadSegment);
  }
}

/// The tables the start-up code walks: (load start, run start, run end) for
/// every section that runs elsewhere than it is loaded, then (start, end)
/// for every zero-initialised one: a section that is not loaded and has no
/// reserved size (a reserved size marks a heap or stack, left as it is).
void writeStartupTables(std::ostream& out, const std::vector<PlacedSection>& sections,
                        const MemorySegmentSpec& segment, bool checkOverflow) {
  out << "  " << kStartupTablesSection << " : ALIGN(4)\n  {\n    __copy_table_start__ = .;\n";
  for (const PlacedSection& section : sections) {
    if (!section.runsElsewhere()) continue;
    out << "    LONG(__" << section.id << "_load_start__) LONG(" << section.startSymbol() << ") LONG("
        << section.endSymbolName() << ")\n";
  }
  out << "    __copy_table_end__ = .;\n    __zero_table_start__ = .;\n";
  for (const PlacedSection& section : sections) {
    if (section.loaded || section.size) continue;
    out << "    LONG(" << section.startSymbol() << ") LONG(" << section.endSymbolName() << ")\n";
  }
  out << "    __zero_table_end__ = .;\n  } > " << segment.name << '\n';
  if (checkOverflow) {
    out << "  ASSERT(. <= __" << segment.name << "_segment_end__, \"section placement overflows segment "
        << segment.name << "\")\n";
  }
}

/// The tables go where the start-up code is loaded from: the load segment
/// of the first loaded section, after the last section loaded there. The
/// index is the section they follow; "sections" is not empty.
std::pair<const MemorySegmentSpec*, std::size_t> startupTablesPlace(const std::vector<PlacedSection>& sections) {
  const auto first = std::find_if(sections.begin(), sections.end(), [](const PlacedSection& s) { return s.loaded; });
  const MemorySegmentSpec* segment = first != sections.end() ? first->loadSegment : sections.front().runSegment;
  std::size_t last = 0;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (sections[i].loaded ? sections[i].loadSegment == segment : sections[i].runSegment == segment) last = i;
  }
  return {segment, last};
}

}  // namespace

std::string generateLinkerScript(const std::vector<MemorySegmentSpec>& segments,
                                 const MemoryMapElement& placement,
                                 const std::string& placementName, const ScriptSettings& settings) {
  const std::vector<PlacedSection> sections =
      PlacementReader(segments, placementName, settings).read(placement);

  std::ostringstream out;
  out << "/* Generated by sectwright from the memory map and the section placement. */\n\n";
  writeSymbols(out, settings);
  writeMemory(out, segments);
  out << "SECTIONS\n{\n";
  if (sections.empty()) {
    writeStartupTables(out, sections, segments.front(), settings.checkSegmentOverflow);
  } else {
    const auto [tablesSegment, tablesAfter] = startupTablesPlace(sections);
    for (std::size_t i = 0; i < sections.size(); ++i) {
      writeSection(out, sections[i], settings.checkSegmentOverflow);
      if (i == tablesAfter) writeStartupTables(out, sections, *tablesSegment, settings.checkSegmentOverflow);
    }
  }
  out << "}\n";
  return out.str();
}

}  // namespace tidewater
