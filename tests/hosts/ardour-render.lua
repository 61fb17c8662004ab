-- Plays a WAV file through Orvo inside Ardour, headless (ardour7-lua with the "None (Dummy)"
-- engine), and records Orvo's output.
--
--   ardour7-lua ardour-render.lua create SESSION_DIR IN.wav BLOCK
--   ardour7-lua ardour-render.lua record SESSION_DIR IN.wav BLOCK TYPE NAME PROGRAM INDEX=VALUE...
--
-- TYPE is LXVST (NAME: the plug-in's name) or LV2 (NAME: its URI); VALUE is what Ardour's
-- control path takes: the normalised value for a VST, the port's value for LV2.
--
-- Each step runs in a process of its own: Ardour 7.3 hangs or crashes when one process closes
-- a session and loads another.
--
-- create: Ardour has no Lua call that imports a file, so this step makes a session with two
-- stereo tracks, "Orvo" and "Capture", saves and closes it, and then writes the input into
-- the session the way Ardour stores an import: the file in the session's audio folder, one
-- source per channel, a whole-file region, and the same region at the start of the "Orvo"
-- track.
--
-- record: loads the session, inserts Orvo on the "Orvo" track, selects the factory program
-- PROGRAM through Ardour's preset list (which sends the program change to a VST and sets
-- the preset's port values of an LV2 plug-in), sets
-- the parameters through Ardour's control path, routes the track's output into the
-- rec-armed "Capture" track and records from the session start until a second after the
-- input has ended. The take is SESSION_DIR/interchange/NAME/audiofiles/Take1_Capture-1%L.wav
-- and %R.wav, frame for frame with the input.
--
-- What keeps Ardour out of the signal: the region's fades are off (Ardour fades every region
-- in and out over 64 samples by default) and its gain and envelope are unity; the input
-- starts with silence (see run-ardour.sh), on which Ardour's declick at transport start
-- falls, and the recording goes on a second past the input, so the declick at stop falls
-- on silence as well; the
-- "Orvo" track's panner is bypassed and its output goes to nothing but the capture track,
-- which records its input before its own fader and panner; faders and trims stay at unity;
-- the "Orvo" track's inputs are disconnected, so it plays the region only.

local step, session_dir, input = arg[1], arg[2], arg[3]
local block, plugin_type, plugin_name, program = tonumber(arg[4]), arg[5], arg[6], arg[7]
local name = string.match(session_dir, "([^/]+)/*$")

local function fail(message) error(message, 0) end

local function read_file(path)
    local file = assert(io.open(path, "rb"))
    local text = file:read("a")
    file:close()
    return text
end

local function write_file(path, text)
    local file = assert(io.open(path, "wb"))
    file:write(text)
    file:close()
end

-- The frame count, rate and channel count of a WAV file, from its "fmt " and "data" chunks.
local function wav_shape(data)
    if data:sub(1, 4) ~= "RIFF" or data:sub(9, 12) ~= "WAVE" then
        fail(input .. " is no WAV file")
    end
    local at, channels, rate, bits = 13, nil, nil, nil
    while at + 8 <= #data do
        local id, size = data:sub(at, at + 3), string.unpack("<I4", data, at + 4)
        if id == "fmt " then
            channels, rate = string.unpack("<I2I4", data, at + 10)
            bits = string.unpack("<I2", data, at + 22)
        elseif id == "data" then
            return size // (channels * bits // 8), rate, channels
        end
        at = at + 8 + size + size % 2
    end
    fail(input .. " has no data chunk")
end

local function start_engine(rate)
    local backend = AudioEngine:set_backend("None (Dummy)", "", "")
    if not backend then fail("no Dummy backend") end
    backend:set_sample_rate(rate)
    backend:set_buffer_size(block)
    if AudioEngine:start(false) ~= 0 then fail("the engine did not start") end
end

local function create(frames, rate, contents)
    start_engine(rate)
    if not create_session(session_dir, name, rate) then fail("cannot create the session") end
    for _, track in ipairs({ "Orvo", "Capture" }) do
        local tracks = Session:new_audio_track(2, 2, nil, 1, track,
                                               ARDOUR.PresentationInfo.max_order,
                                               ARDOUR.TrackMode.Normal, false)
        if tracks:size() ~= 1 then fail("cannot add a track") end
    end
    Session:save_state("", false, false, false, false, false)
    close_session()

    -- Times in session files count "superclock" ticks, 282240000 a second; a region's length
    -- carries its position after the "@".
    local tick = 282240000 // rate
    local function region(id, whole)
        return string.format('<Region name="input%s" muted="0" opaque="1" locked="0" '
            .. 'video-locked="0" automatic="0" whole-file="%d" import="1" external="0" '
            .. 'sync-marked="0" left-of-split="0" right-of-split="0" hidden="0" '
            .. 'position-locked="0" '
            .. 'valid-transients="0" start="a0" length="a%d@a0" sync-position="a0" '
            .. 'ancestral-start="a0" ancestral-length="a0@a0" stretch="1" shift="1" '
            .. 'layering-index="0" tags="" contents="0" envelope-active="0" default-fade-in="0" '
            .. 'default-fade-out="0" fade-in-active="0" fade-out-active="0" scale-amplitude="1" '
            .. 'id="%d" type="audio" first-edit="nothing" source-0="900001" source-1="900002" '
            .. 'master-source-0="900001" master-source-1="900002" channels="2"/>',
            whole and "" or ".1", whole and 1 or 0, frames * tick, id)
    end
    local source = '    <Source name="input.wav" type="audio" flags="" id="%d" channel="%d" '
        .. 'origin="" gain="1"/>\n'
    local edits = {
        { "<Sources/>", "<Sources>\n" .. string.format(source, 900001, 0)
            .. string.format(source, 900002, 1) .. "  </Sources>" },
        { "<Regions/>", "<Regions>\n    " .. region(900003, true) .. "\n  </Regions>" },
        { '(<Playlist [^>]*name="Orvo"[^>]*)/>',
          "%1>\n      " .. region(900004, false) .. "\n    </Playlist>" },
    }
    local path = session_dir .. "/" .. name .. ".ardour"
    local xml = read_file(path)
    for _, edit in ipairs(edits) do
        local count
        xml, count = string.gsub(xml, edit[1], edit[2])
        if count ~= 1 then fail("unexpected session file: no single " .. edit[1]) end
    end
    write_file(path, xml)
    write_file(session_dir .. "/interchange/" .. name .. "/audiofiles/input.wav", contents)
end

local function record(frames, rate)
    local settings = {}
    for i = 8, #arg do
        local index, value = string.match(arg[i], "^(%d+)=(-?[%d.]+)$")
        if not index then fail("parameter settings are INDEX=VALUE, not " .. arg[i]) end
        settings[#settings + 1] = { tonumber(index), tonumber(value) }
    end
    start_engine(rate)
    if not load_session(session_dir, name) then fail("cannot load the session") end
    local orvo, capture = Session:route_by_name("Orvo"), Session:route_by_name("Capture")
    if orvo:isnil() or capture:isnil() or orvo:to_track():playlist():region_list():size() ~= 1 then
        fail("the session has not the tracks and the region it was made with")
    end

    local type = ARDOUR.PluginType[plugin_type]
    if not type then fail("no plug-in type " .. tostring(plugin_type)) end
    local plugin = ARDOUR.LuaAPI.new_plugin(Session, plugin_name, type, "")
    if plugin:isnil() then fail("Ardour does not know " .. plugin_name .. " (" .. plugin_type .. ")") end
    if orvo:add_processor_by_index(plugin, 0, nil, true) ~= 0 then fail("cannot insert Orvo") end
    local instance = plugin:to_insert():plugin(0)
    local preset = instance:preset_by_label(program)
    if not preset then fail("Orvo offers no program " .. program) end
    if not instance:load_preset(preset) then fail("cannot select program " .. program) end
    for _, setting in ipairs(settings) do
        if not ARDOUR.LuaAPI.set_processor_param(plugin, setting[1], setting[2]) then
            fail("cannot set parameter " .. setting[1])
        end
    end
    local values = {}
    for i = 0, instance:parameter_count() - 1 do
        values[#values + 1] = string.format("%d=%.4f", i,
                                            ARDOUR.LuaAPI.get_processor_param(plugin, i))
    end
    print("Orvo in Ardour, program " .. preset.label .. ": " .. table.concat(values, " "))

    orvo:input():disconnect_all(nil)
    orvo:output():disconnect_all(nil)
    orvo:panner_shell():set_bypassed(true)
    capture:input():disconnect_all(nil)
    capture:output():disconnect_all(nil)
    for channel = 0, 1 do
        if orvo:output():audio(channel):connect(capture:input():audio(channel):name()) ~= 0 then
            fail("cannot route Orvo's output to the capture track")
        end
    end
    capture:to_track():rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
    Session:maybe_enable_record(false)
    sleep(0.5)
    Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
    local deadline = os.time() + 30
    while Session:transport_sample() < frames + rate do
        if os.time() > deadline then fail("the transport did not roll") end
        sleep(0.1)
    end
    Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
    sleep(1)
    Session:save_state("", false, false, false, false, false)
    close_session()
end

-- A failure ends the process at once with a message: the engine's threads would otherwise
-- keep it alive.
local ok, message = pcall(function()
    local contents = read_file(input)
    local frames, rate, channels = wav_shape(contents)
    if channels ~= 2 then fail("the input must be stereo") end
    if step == "create" then
        create(frames, rate, contents)
    elseif step == "record" then
        record(frames, rate)
    else
        fail("the step is create or record, not " .. tostring(step))
    end
end)
if not ok then
    io.stderr:write("ardour-render: " .. tostring(message) .. "\n")
    os.exit(1, false)
end
