# The house's floors, lowest first. A folder under src/ is one library; it may
# include only folders on lower floors, never one on its own floor or above.
# tests/layout checks every include against this list; the README's Layout
# section says why each folder stands where it does.
set(GALVORINE_FLOORS
  "platform"
  "engine"
  "audio records events"
  "effects gui tokens balance"
  "layout rays bonuses totems challenges backgrounds"
  "screens"
  "board"
  "shop"
  "game"
  "shell")
