-- One export for scripts/ardour-exports, run by ardour7-lua:
--   export.lua SESSION-DIR lv2|vst|none FRAMES OUTPUT-DIR PRESET-ID
-- A new session on the dummy backend (44.1 kHz, period 1024) with one stereo
-- track: the test source, then duoMangler (or nothing), exported as float WAV.
local dir, kind, frames, outdir, preset = arg[1], arg[2], tonumber (arg[3]), arg[4], arg[5]
local rate, period = 44100, 1024
local backend = AudioEngine:set_backend ("None (Dummy)", "", "")
assert (backend:set_device_name ("Silence") == 0)
assert (backend:set_sample_rate (rate) == 0)
assert (backend:set_buffer_size (period) == 0)
assert (AudioEngine:start (false) == 0)
assert (create_session (dir, "exports", rate), "no session")

-- The session's objects are held in this function's locals only: none may
-- outlive close_session, or the garbage collector destroys them after the
-- session they refer to is gone.
local function insert_plugins ()
  local tracks = Session:new_audio_track (2, 2, nil, 1, "t", ARDOUR.PresentationInfo.max_order,
                                         ARDOUR.TrackMode.Normal, true)
  local track = tracks:front ()
  local source = ARDOUR.LuaAPI.new_luaproc (Session, "duoMangler test source")
  assert (not source:isnil (), "test source not found")
  assert (track:add_processor_by_index (source, 0, nil, true) == 0)
  if kind ~= "none" then
    local plugin
    if kind == "lv2" then
      plugin = ARDOUR.LuaAPI.new_plugin (Session, "urn:qovak:duomangler", ARDOUR.PluginType.LV2, "")
    else
      plugin = ARDOUR.LuaAPI.new_plugin (Session, "duoMangler", ARDOUR.PluginType.LXVST, "")
    end
    assert (not plugin:isnil (), "duoMangler not found")
    assert (track:add_processor_by_index (plugin, 1, nil, true) == 0)
  end
end
insert_plugins ()

local export = Session:simple_export ()
export:set_preset (preset)
export:set_folder (outdir)
export:set_range (0, frames)
assert (export:run_export (), "export failed")
export = nil
collectgarbage ()
close_session ()
