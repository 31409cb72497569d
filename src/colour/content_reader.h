// Reads what a page paints and says whether all of it is neutral, without drawing the page:
// its content stream, the forms, patterns, images and shadings it uses (forms within forms,
// with a guard against cycles) and its annotations' appearances. Reading only ever proves a
// page black-and-white; anything that may print a hue (a colour value, an image in a colour
// space, a shading, a colour that may be clipped away or painted over) leaves the page to
// be drawn, with the reason.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "colour/colour_space.h"
#include "colour/content_lexer.h"
#include "pagecount/deadline.h"
#include "pagecount/document.h"

namespace foliotally::colour {

// Bounds on reading one page, far above what real pages need; a page beyond them is drawn.
inline constexpr uint64_t kMaxOperatorsPerPage = 1u << 20;
inline constexpr int kMaxFormDepth = 32;
inline constexpr int kMaxStateDepth = 256;
inline constexpr size_t kMaxContentBytes = 32u << 20;  // decoded, one page with its forms

struct Reading {
  bool neutral = false;
  const char* why = nullptr;  // when not neutral: what the page needs drawing for
};

class ContentReader {
 public:
  // One reader per document: forms and images used by many pages are read once.
  ContentReader(pdf::Document& doc, const pdf::Deadline& deadline)
      : doc_(doc), deadline_(deadline) {}

  // `page`: the page dictionary; `resources`: its resources (inherited, resolved). Throws
  // a timed-out ReadFailure when the deadline passes; damage makes the page one to draw.
  Reading Read(const pdf::Object& page, const pdf::Object& resources);

 private:
  struct Resources;
  struct Paint {
    ColourSpace space;
    bool neutral = true;
  };
  struct State {
    Paint fill, stroke;
    int render_mode = 0;
    bool type3_font = false;
  };

  void ReadPage(const pdf::Object& page, const pdf::Object& resources);
  void ReadContents(const pdf::Object& contents, Resources& res);
  std::string DecodeStream(const pdf::Object& ref, pdf::Object& dict);
  void Run(std::string_view text, Resources& res, State& state, int depth);
  void Operate(std::string_view op, ContentLexer& lexer, Resources& res, std::vector<State>& stack,
               int depth);
  void SetColour(Paint& paint, Resources& res, int depth);
  void SetSpace(Paint& paint, Resources& res);
  // Whether the pattern `name` paints only neutral colour; `uncoloured`: it is painted in
  // the colour given with it instead.
  bool PatternIsNeutral(const std::string& name, Resources& res, int depth, bool& uncoloured);
  void PaintXObject(const std::string& name, Resources& res, const State& state, int depth);
  void PaintForm(const pdf::Object& ref, const pdf::Object& dict, Resources& outer,
                 const State& state, int depth);
  void PaintShading(const pdf::Object& shading, Resources& res);
  void CheckGraphicsState(const std::string& name, Resources& res);
  void CheckFont(const std::string& name, Resources& res, State& state);
  void ReadAnnotations(const pdf::Object& page);
  void ReadAppearance(const pdf::Object& annotation);
  void ReadLinkBorder(const pdf::Object& annotation);
  void CountOperator();

  pdf::Document& doc_;
  const pdf::Deadline& deadline_;
  std::vector<Operand> operands_;
  uint64_t operators_ = 0;
  size_t content_bytes_ = 0;
  std::vector<int64_t> open_forms_;  // forms being read, innermost last: a cycle is cut
  // Forms and patterns found neutral when read from a neutral state, and neutral images.
  std::unordered_set<int64_t> neutral_objects_;
};

}  // namespace foliotally::colour
