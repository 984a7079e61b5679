// InteractionHost: what the mouse, keyboard and balloon handlers ask of the
// control they serve. The control object implements it over its own members;
// the tests implement it over a bare list box, so that every handler can be
// driven without COM.
#pragma once

#include <windows.h>

#include <cstdint>

#include "interaction/type_ahead.h"
#include "render/bidi_text_api.h"
#include "render/display_scale.h"

namespace orvane {

class BalloonWindow;
class OrvaneCore;

class InteractionHost {
 public:
  // The control's window: the list box that holds the rows.
  virtual HWND ControlWindow() const = 0;
  virtual OrvaneCore& Core() = 0;
  // Null when the balloon object could not be made; its window may be
  // missing too.
  virtual BalloonWindow* Balloon() = 0;

  virtual int16_t Alignment() const = 0;
  // Indent as the host set it: pixels at 96 DPI.
  virtual int16_t Indent() const = 0;
  // The DPI the rows are laid out for (the control's window's).
  virtual int Dpi() const { return kDefaultDpi; }
  // Whether Space and the mirror chords act (MirrorKeys; Space needs no
  // switch of its own).
  virtual bool MirrorKeys() const { return true; }
  virtual bool ShowBalloonHelp() const = 0;
  // Cell widths of the tree-line and icon strips, in the window's pixels.
  virtual int TreeCellWidth() const = 0;
  virtual int CheckCellWidth() const = 0;
  // The Fonta font and the stock Font as GDI fonts; either may be null.
  virtual HFONT FontaHandle() const = 0;
  virtual HFONT StockFontHandle() const = 0;
  virtual const BidiTextApi& TextLibrary() = 0;

  // Swaps the layout side and its tree strip and repaints at once.
  virtual void MirrorToggle() = 0;
  // Invalidates the whole control and repaints it at once.
  virtual void Repaint() = 0;
  // False while the container designs its form: then the rows take no
  // action from anyone, a screen reader's default action included.
  virtual bool TakesInput() const { return true; }

  // (Re)starts timer 1 of the control's window with period ElapsedTime: the
  // same timer the core restarts when rows change, and the one
  // KillHoverTimer stops.
  virtual void StartHoverTimer() = 0;
  virtual void KillHoverTimer() = 0;

  // The framework's handling of a message: the stock event it raises (if
  // any), then the list box's own handling.
  virtual LRESULT StockHandling(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
  // The list box's own handling alone, with no stock event.
  virtual LRESULT ListBoxHandling(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

  // Type-ahead: whether it is on (off by default, so hosts that never ask
  // see every character consumed as before), the prefix typed so far, and
  // the stock KeyPress event with the character by reference.
  virtual bool TypeAhead() const { return false; }
  virtual TypeAheadPrefix& TypedPrefix() = 0;
  virtual void FireKeyPress(short& keyAscii) = 0;

  // Bracket an action that reaches the rows other than through a message
  // (a screen reader's): the control tells its host of the change at the
  // end. A host with nobody to tell does nothing.
  virtual void BeginChange() {}
  virtual void EndChange() {}

 protected:
  ~InteractionHost() = default;
};

// Indent in the window's pixels.
inline int LayoutIndent(const InteractionHost& host) {
  return ScaleToDpi(host.Indent(), host.Dpi());
}

}  // namespace orvane
