// The tune files a person hands the page (picked, a picked folder, or
// dropped files and folders), listed as the jukebox lists a folder: every
// ".ptcop" in the order given, then every ".pttune".

const KINDS = ['.ptcop', '.pttune'];

function kind(file) {
  const name = file.name.toLowerCase();
  return KINDS.findIndex((ending) => name.endsWith(ending));
}

export function tuneList(files) {
  return KINDS.flatMap((_, k) => files.filter((f) => kind(f) === k));
}

// The files under dropped entries, folders read to the bottom.
async function entryFiles(entry) {
  if (entry.isFile) return [await new Promise((resolve, reject) => entry.file(resolve, reject))];
  const reader = entry.createReader();
  const files = [];
  for (;;) {
    const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
    if (!batch.length) return files;
    for (const child of batch) files.push(...(await entryFiles(child)));
  }
}

export async function droppedFiles(dataTransfer) {
  const entries = [...dataTransfer.items].map((item) => item.webkitGetAsEntry?.()).filter(Boolean);
  if (!entries.length) return [...dataTransfer.files];
  const files = [];
  for (const entry of entries) files.push(...(await entryFiles(entry)));
  return files;
}
