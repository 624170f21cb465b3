// A zip file of the converted calibrations, written here so that the page
// fetches nothing: each file deflated where the browser can (and where that
// makes it smaller), stored as it is otherwise. Unzipping gives back the
// bytes exactly; names are UTF-8, as the flag in each header says.

const Crc32Table = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) {
      c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    }
    table[n] = c >>> 0;
  }
  return table;
})();

function Crc32(bytes) {
  let crc = 0xffffffff;
  for (let i = 0; i < bytes.length; ++i) {
    crc = Crc32Table[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
  }
  return (crc ^ 0xffffffff) >>> 0;
}

async function Deflated(bytes) {
  if (typeof CompressionStream !== "function") {
    return null;
  }
  try {
    const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream("deflate-raw"));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  } catch (error) {
    return null; // a browser without raw deflate
  }
}

// Zip's time stamps are local time in two 16-bit words, from 1980 on.
function DosDateTime(date) {
  const year = Math.max(date.getFullYear(), 1980);
  return {
    time: (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
    day: ((year - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate(),
  };
}

// entries: [{ name, bytes }] with names distinct. Resolves to a Blob.
async function MakeZip(entries, date = new Date()) {
  const { time, day } = DosDateTime(date);
  const parts = [];
  const directory = [];
  let offset = 0;
  for (const { name, bytes } of entries) {
    const nameBytes = new TextEncoder().encode(name);
    const deflated = await Deflated(bytes);
    const method = deflated !== null && deflated.length < bytes.length ? 8 : 0;
    const data = method === 8 ? deflated : bytes;
    const crc = Crc32(bytes);
    // Without Zip64 every size and offset must fit in 32 bits.
    if (offset + 30 + nameBytes.length + data.length > 0xffffffff || entries.length > 0xffff) {
      throw new RangeError("the files are too large together for one zip file");
    }
    const local = new DataView(new ArrayBuffer(30));
    local.setUint32(0, 0x04034b50, true);
    local.setUint16(4, 20, true); // version 2.0 is enough to extract
    local.setUint16(6, 0x0800, true); // the name is UTF-8
    local.setUint16(8, method, true);
    local.setUint16(10, time, true);
    local.setUint16(12, day, true);
    local.setUint32(14, crc, true);
    local.setUint32(18, data.length, true);
    local.setUint32(22, bytes.length, true);
    local.setUint16(26, nameBytes.length, true);
    local.setUint16(28, 0, true);
    parts.push(local, nameBytes, data);

    const central = new DataView(new ArrayBuffer(46));
    central.setUint32(0, 0x02014b50, true);
    central.setUint16(4, 20, true);
    central.setUint16(6, 20, true);
    central.setUint16(8, 0x0800, true);
    central.setUint16(10, method, true);
    central.setUint16(12, time, true);
    central.setUint16(14, day, true);
    central.setUint32(16, crc, true);
    central.setUint32(20, data.length, true);
    central.setUint32(24, bytes.length, true);
    central.setUint16(28, nameBytes.length, true);
    // Extra field, comment, disk, attributes: none.
    central.setUint32(42, offset, true);
    directory.push(central, nameBytes);
    offset += 30 + nameBytes.length + data.length;
  }
  const directorySize = directory.reduce((size, part) => size + part.byteLength, 0);
  const end = new DataView(new ArrayBuffer(22));
  end.setUint32(0, 0x06054b50, true);
  end.setUint16(8, entries.length, true);
  end.setUint16(10, entries.length, true);
  end.setUint32(12, directorySize, true);
  end.setUint32(16, offset, true);
  return new Blob([...parts, ...directory, end], { type: "application/zip" });
}
