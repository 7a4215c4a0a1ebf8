#include "engine/DataPaths.h"

#include "engine/Log.h"

CDataPaths::CDataPaths()
    : folders{"Data\\Gfx\\",
              GetSharedDataFolder() + "Data\\Sfx\\",
              "Data\\Sfx\\",
              "Music\\",
              "Data\\Config\\",
              GetUserDataFolder() + "Data\\Config\\",
              GetSharedDataFolder() + "Data\\GameData\\",
              "Data\\Txt\\",
              "Data\\Fonts\\",
              GetUserDataFolder() + "Players\\",
              "Data\\Gfx\\Models\\",
              "Data\\Forms\\",
              "Data\\",
              "Data\\Lvl\\"},
      tuning{2000.0f, 0.05f, 0.4f, 15.0f, 3.0f, 2.0f, 1.5f, 2.0f, 50.0f}
{}
