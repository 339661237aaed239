ardour { ["type"] = "dsp", name = "duoMangler test source",
         description = "The input of scripts/ardour-exports: a function of the transport position, so every export of a range is the same" }

function dsp_ioconfig () return { { audio_in = 2, audio_out = 2 } } end

-- Tones and noise, then a fade through the samples below the silence
-- threshold and the normal range into digital silence, every 90000 frames;
-- the right channel stays loud every second time.
local function value (n, c)
  local p = n % 90000
  local h = (n * 2654435761 + c * 40503) & 0xffffffff
  h = ((h ~ (h >> 15)) * 2246822519) & 0xffffffff
  local noise = (h & 0xffffff) / 16777216.0 - 0.5
  local x = 0.5 * math.sin (n * (0.031 + 0.011 * c)) + 0.3 * noise
  local fade = 1.0
  if p >= 40000 then fade = math.exp (-0.02 * (p - 40000)) end
  if p >= 70000 then fade = 0.0 end
  if c == 1 and (n // 90000) % 2 == 1 then fade = 1.0 end
  return x * fade
end

function dsp_run (ins, outs, n)
  local pos = Session:transport_sample ()
  local rolling = Session:transport_rolling ()
  for c = 1, 2 do
    local o = outs[c]:array ()
    for i = 1, n do
      if rolling then o[i] = value (pos + i - 1, c - 1) else o[i] = 0 end
    end
  end
end
