-- The launcher's three download requests answered by lighttpd (mod_magnet) from static
-- files only, byte for byte as getfile.pl answers them:
--   getfile.pl?file=NAME                          the cabinet's size, decimal text
--   getfile.pl?file=NAME&mb_pos=P&length=L        bytes P x 1,000,000 .. +L of the cabinet,
--                                                 sent by lighttpd itself (sendfile)
--   getfile.pl?file=NAME&mb_pos=P&length=L&crc=1  the digest publish-digests wrote
-- No process runs and nothing is hashed per request. The environment (mod_setenv) names
-- GETFILE_ROOT, the cabinets, and GETFILE_DIGESTS, publish-digests' output folder.
--
-- A cabinet is answered only while its published folder matches it: that folder is named
-- after the cabinet's size, modification time and inode, so a cabinet replaced but not yet
-- published again is refused (404) instead of being sent with another file's digests.
local r = lighty.r

local EMPTY_MD5 = "d41d8cd98f00b204e9800998ecf8427e"
local LENGTHS = { ["10000000"] = true, ["20000000"] = true, ["40000000"] = true,
                  ["80000000"] = true, ["160000000"] = true }

local function reply(body)
    r.resp_header["Content-Type"] = "application/octet-stream"
    r.resp_body.set({ body })
    return 200
end

local function refuse()
    return 404
end

-- The query as getfile.pl reads it: "&"-separated pairs, values percent-decoded (nothing
-- else, no "+"), a key named twice refuses the request. nil for a refused query.
local function parse_query(query)
    local values = {}
    for pair in string.gmatch(query or "", "[^&]+") do
        local key, value = string.match(pair, "^([^=]*)=?(.*)$")
        if values[key] ~= nil then
            return nil
        end
        values[key] = string.gsub(value, "%%(%x%x)",
                                  function(hex) return string.char(tonumber(hex, 16)) end)
    end
    return values
end

-- getfile.pl's rule: a plain name, starting with a letter or digit, without "..".
local function plain_name(name)
    return name ~= nil and string.find(name, "^[A-Za-z0-9][A-Za-z0-9_.+ %-]*$") ~= nil
        and string.find(name, "..", 1, true) == nil
end

-- The published folder of the cabinet as it is now: "<size>-<seconds>.<nanoseconds>-<inode>".
local function stamp(st)
    local seconds, nanoseconds = st.st_mtim()
    return string.format("%d-%d.%09d-%d", st.st_size, seconds, nanoseconds, st.st_ino)
end

local root, digests = r.req_env["GETFILE_ROOT"], r.req_env["GETFILE_DIGESTS"]
if root == nil or digests == nil then
    print("static-range.lua: GETFILE_ROOT and GETFILE_DIGESTS must be set (setenv.add-environment)")
    return 500
end

local query = parse_query(r.req_attr["uri.query"])
if query == nil or not plain_name(query.file) then
    return refuse()
end
local cabinet = root .. "/" .. query.file
local st = lighty.c.stat(cabinet)
if st == nil or not st.is_file then
    return refuse()
end
local published = digests .. "/" .. query.file .. "/" .. stamp(st)
local folder = lighty.c.stat(published)
if folder == nil or not folder.is_dir then
    return refuse()
end
local size = st.st_size

if query.mb_pos == nil then
    return reply(tostring(size))
end

-- The launcher's spelling only: decimal without leading zeros, one of its five lengths,
-- and positions in steps of 10 (it starts at 0 and steps by lengths of 10 to 160 million),
-- the only ones with published digests.
local position, length = query.mb_pos, query.length
if not (position == "0" or (string.find(position, "^[1-9]%d*0$") and #position <= 9))
        or not LENGTHS[length] or (query.crc ~= nil and query.crc ~= "1") then
    return refuse()
end
local from = math.tointeger(tonumber(position)) * 1000000
local count = math.min(math.tointeger(tonumber(length)), size - from)

if query.crc ~= nil then
    if count <= 0 then
        return reply(EMPTY_MD5)
    end
    local digest = published .. "/" .. position .. "." .. length .. ".md5"
    local entry = lighty.c.stat(digest)
    if entry == nil or not entry.is_file then
        return refuse()
    end
    return reply({ filename = digest })
end
if count <= 0 then
    return reply("")
end
return reply({ filename = cabinet, offset = from, length = count })
