#include "dragdrop/target/drop_effects.h"

namespace foliotally::dragdrop {

TShiftState ShiftStateOf(uint32_t key_state) {
  TShiftState shift;
  const struct {
    uint32_t bit;
    TShiftStateItem item;
  } kMap[] = {{MK_SHIFT, TShiftStateItem::ssShift},   {MK_CONTROL, TShiftStateItem::ssCtrl},
              {MK_ALT, TShiftStateItem::ssAlt},       {MK_LBUTTON, TShiftStateItem::ssLeft},
              {MK_RBUTTON, TShiftStateItem::ssRight}, {MK_MBUTTON, TShiftStateItem::ssMiddle}};
  for (const auto& [bit, item] : kMap) {
    if (key_state & bit) shift.Include(item);
  }
  return shift;
}

uint32_t EffectMaskOf(TDragTypes types) {
  uint32_t mask = DROPEFFECT_NONE;
  if (types.Contains(TDragType::dtCopy)) mask |= DROPEFFECT_COPY;
  if (types.Contains(TDragType::dtMove)) mask |= DROPEFFECT_MOVE;
  if (types.Contains(TDragType::dtLink)) mask |= DROPEFFECT_LINK;
  return mask;
}

uint32_t EffectChosenByKeys(TShiftState shift, uint32_t allowed) {
  const bool ctrl = shift.Contains(TShiftStateItem::ssCtrl);
  const bool shift_key = shift.Contains(TShiftStateItem::ssShift);
  const uint32_t choice = ctrl && shift_key ? DROPEFFECT_LINK
                          : ctrl            ? DROPEFFECT_COPY
                                            : DROPEFFECT_MOVE;
  if (allowed & choice) return choice;
  for (uint32_t effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
    if (allowed & effect) return effect;
  }
  return DROPEFFECT_NONE;
}

}  // namespace foliotally::dragdrop
