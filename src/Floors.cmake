# The house's floors, lowest first. A folder under src/ is one library; it may
# include only folders on lower floors, never one on its own floor or above.
# tests/layout checks every include against this list.
set(GALVORINE_FLOORS
  "platform"
  "engine"
  "audio records events"
  "effects gui tokens layout balance"
  "rays bonuses totems challenges backgrounds screens"
  "board"
  "shop"
  "game"
  "shell")
