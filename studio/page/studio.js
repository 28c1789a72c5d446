// The studio page: picks a face, tunes its style, shows the text drawn from
// the cells the build would write, and builds. Everything it does goes
// through the studio's JSON API on this same address, with the page's token.
"use strict";

const token = document.body.dataset.token;
const SIZES = [20, 24, 64];
// The server lays texts out this wide; the page wraps each line again to
// the cells its panel has room for at the zoom chosen.
const LAYOUT_WIDTH = 200;
const BAND = [12, 12, 18];
const INK = [238, 222, 206];
const BOX = [214, 96, 84];

const state = {
  faces: [],
  fontFiles: [], // paths of font files in use
  settings: [], // the style table
  face: null,
  lines: [],
  zoom: 2,
  stock: {}, // size -> position -> levels
  stockText: null,
  preview: null,
  findings: null,
  tab: "missing",
  inspected: null, // {size, position}
  glyphs: {}, // single characters' own tables, by key
  editor: null, // the pixel editor: {key, size, levels, undo}
  painting: false,
  paint: 15,
  previewSeq: 0,
  findingsSeq: 0,
  previewError: null, // the last preview request's failure, until one succeeds
  stopped: false,
};

const $ = (id) => document.getElementById(id);

async function api(path, body) {
  const options = { headers: { "X-Studio-Token": token } };
  if (body !== undefined) {
    options.method = "POST";
    options.headers["Content-Type"] = "application/json";
    options.body = JSON.stringify(body);
  }
  if (state.stopped) throw new Error("工作室已停止");
  let response;
  try {
    response = await fetch(path, options);
  } catch (e) {
    // No answer at all: the studio has ended (or its address is gone).
    enterStopped();
    throw new Error("工作室已停止");
  }
  const text = await response.text();
  let data = null;
  try {
    data = JSON.parse(text);
  } catch (e) {
    data = null;
  }
  if (!response.ok) throw new Error((data && data.error) || text.trim() || "请求失败（" + response.status + "）");
  return data;
}

// Notices stand in one corner over the page, each until closed; one of the
// same kind ("key") replaces the one before. Errors stay; plain news goes by
// itself after a while.
function notice(text, kind, key) {
  if (state.stopped) return;
  const holder = $("notices");
  const id = key || kind || "error";
  let box = holder.querySelector(`[data-key="${id}"]`);
  if (!text) {
    box?.remove();
    return;
  }
  if (!box) {
    box = document.createElement("div");
    box.dataset.key = id;
    box.setAttribute("role", "status");
    const message = document.createElement("span");
    const close = document.createElement("button");
    close.textContent = "×";
    close.title = "关闭";
    close.className = "close";
    close.addEventListener("click", () => box.remove());
    box.append(message, close);
    holder.append(box);
  }
  box.className = "notice" + (kind ? " " + kind : "");
  box.firstChild.textContent = text;
  clearTimeout(box.timer);
  if (kind === "info") box.timer = setTimeout(() => box.remove(), 12000);
}

// The studio has ended: every control off, and how to start it again.
function enterStopped() {
  if (state.stopped) return;
  state.stopped = true;
  clearTimeout(previewTimer);
  clearTimeout(findingsTimer);
  clearInterval(heartbeatTimer);
  document.body.classList.add("is-stopped");
  document.body.dataset.stopped = "1";
  for (const control of document.querySelectorAll("input, button, select, textarea")) control.disabled = true;
  $("notices").innerHTML = "";
  $("stopped").hidden = false;
}

// ---- the style the controls give ----

function numberOf(input) {
  if (input.value.trim() === "") return null;
  const value = Number(input.value);
  return Number.isFinite(value) ? value : NaN;
}

// What is wrong with a number field, or "": letters, an empty field where
// the setting needs a value, a value out of the table's range, a fraction
// for a whole number. A value off the spinner's step is a value all the same.
function fieldProblem(input) {
  if (input.type !== "number" || input.disabled) return "";
  const s = setting(input.dataset.field || input.dataset.setting || input.dataset.glyphField);
  if (input.validity.badInput || Number.isNaN(numberOf(input))) return "不是数字";
  const value = numberOf(input);
  // A character's own field left empty is not given.
  if (input.dataset.glyphField && value === null) return "";
  // Empty is "not given" where the field shows no default (a placeholder
  // stands for it); where it shows one, a value is needed.
  const needed = s && s.default !== null && s.default !== undefined && showsDefault(s, input.dataset.size);
  if (value === null) return needed ? "不能空着" : "";
  if ((input.min !== "" && value < Number(input.min)) || (input.max !== "" && value > Number(input.max)))
    return "超出范围（" + input.min + " 到 " + input.max + "）";
  if (s && (s.kind === "integer" || s.kind === "pair") && !Number.isInteger(value)) return "必须是整数";
  return "";
}

// Marks every bad number field in place and lists them under the table,
// each with its row and its cell size; whether all are sound.
function checkFields() {
  const problems = [];
  for (const input of document.querySelectorAll("input[type=number]")) {
    const problem = fieldProblem(input);
    input.classList.toggle("bad", !!problem);
    input.setAttribute("aria-invalid", problem ? "true" : "false");
    if (!problem) continue;
    const row = (input.dataset.glyphField ? "单字的" : "") + (input.closest("tr")?.querySelector("th")?.textContent || "");
    const where = input.dataset.size ? "（" + input.dataset.size + " 像素格子）" : "";
    input.title = row + where + "：" + problem;
    problems.push(row + where + "：" + problem);
  }
  $("field-errors").textContent = problems.length ? "请改正：" + problems.join("；") : "";
  return problems.length === 0;
}

// The style table as the studio gives it: name, kind, limits per size, step,
// default, label and hint of each setting.
function setting(name) {
  return state.settings.find((s) => s.name === name);
}

// The controls of a setting: for every size (data-setting) or for one (data-field, data-size).
function controls(name, size) {
  const selector = size === undefined ? `[data-setting="${name}"]` : `[data-size="${size}"][data-field="${name}"]`;
  return [...document.querySelectorAll(selector)].sort((a, b) => (a.dataset.part || 0) - (b.dataset.part || 0));
}

// Whether a control shows the setting's default when it is not given: one
// for a single size stays blank ("as above") where a control for every size exists.
function showsDefault(s, size) {
  return size === undefined || controls(s.name).length === 0;
}

// What a control gives: a value, or undefined (not given).
function controlValue(s, inputs, size) {
  const input = inputs[0];
  if (s.kind === "pair") {
    const parts = inputs.map((i) => numberOf(i) || 0);
    return parts.some((p) => p !== 0) ? parts : undefined;
  }
  if (input.tagName === "SELECT" && s.kind === "flag") return input.value === "" ? undefined : input.value === "1";
  // A choice left at the default the control shows is not given: the style file stays as short.
  if (s.kind === "choice" && showsDefault(s, size) && input.value === s.default) return undefined;
  if (input.type === "checkbox") return input.checked ? true : undefined;
  if (s.kind === "integer" || s.kind === "number") {
    const value = numberOf(input);
    // A number left at the default the control shows is not given.
    const atDefault = input.type !== "range" && showsDefault(s, size) && value === s.default;
    return value === null || atDefault ? undefined : value;
  }
  return input.value === "" ? undefined : input.value;
}

function setControl(s, inputs, value, size) {
  const shown = value ?? (showsDefault(s, size) ? s.default : undefined);
  inputs.forEach((input, part) => {
    if (s.kind === "pair") input.value = (shown || [0, 0])[part];
    else if (input.tagName === "SELECT" && s.kind === "flag") input.value = value === undefined ? "" : value ? "1" : "0";
    else if (input.type === "checkbox") input.checked = !!shown;
    else input.value = shown ?? "";
  });
  if (inputs[0] && inputs[0].type === "range") $(inputs[0].id + "-value").textContent = inputs[0].value;
}

// Limits, steps, labels and hints from the table onto the page's controls.
function applyTable() {
  for (const s of state.settings) {
    const put = (inputs, key) => inputs.forEach((input) => {
      const limits = s.limits[key];
      if (limits) { input.min = limits[0]; input.max = limits[1]; }
      if (s.kind === "integer" || s.kind === "number" || s.kind === "pair") input.step = s.step;
      input.title = s.hint;
    });
    // A choice's options, each under its label from the table.
    for (const select of controls(s.name).filter((c) => c.tagName === "SELECT" && s.kind === "choice")) {
      select.length = 0;
      s.choices.forEach((choice, k) => select.append(new Option((s.choiceLabels || [])[k] || choice, choice)));
      select.title = s.hint;
    }
    put(controls(s.name), "all");
    for (const size of SIZES)
      put([...document.querySelectorAll(`[data-glyph-field="${s.name}"][data-size="${size}"]`)], String(size));
    for (const size of SIZES) {
      const inputs = controls(s.name, size);
      put(inputs, String(size));
      const header = inputs[0] && inputs[0].closest("tr").querySelector("th");
      if (header && s.kind !== "pair") { header.textContent = s.label; header.title = s.hint; }
    }
    setControl(s, controls(s.name), undefined);
    for (const size of SIZES) setControl(s, controls(s.name, size), undefined, size);
  }
}

function styleJson() {
  const style = { size: {} };
  for (const s of state.settings) {
    const inputs = controls(s.name);
    const value = inputs.length ? controlValue(s, inputs) : undefined;
    if (value !== undefined) style[s.name] = value;
  }
  for (const size of SIZES) {
    const own = {};
    for (const s of state.settings) {
      const inputs = controls(s.name, size);
      const value = inputs.length ? controlValue(s, inputs, size) : undefined;
      if (value !== undefined) own[s.name] = value;
    }
    style.size[size] = own;
  }
  const fallback = fallbacks();
  if (fallback.length) style.fallback = fallback;
  if (state.fontFiles.length) style["font-file"] = state.fontFiles;
  const glyphs = glyphsJson();
  if (Object.keys(glyphs).length) style.glyph = glyphs;
  return style;
}

function fallbacks() {
  return [...$("fallback-list").querySelectorAll("li")].map((li) => li.dataset.name);
}

function applyStyle(style) {
  for (const s of state.settings) {
    const inputs = controls(s.name);
    if (inputs.length) setControl(s, inputs, style[s.name]);
    for (const size of SIZES) {
      const own = ((style.size || {})[size] || {})[s.name];
      // A size shows its own value; a value for every size too where no control takes it for every size.
      const value = own !== undefined || inputs.length ? own : style[s.name];
      const sized = controls(s.name, size);
      if (sized.length) setControl(s, sized, value, size);
    }
  }
  $("fallback-list").innerHTML = "";
  for (const name of style.fallback || []) addFallback(name);
  state.fontFiles = style["font-file"] || [];
  renderFontFiles();
  state.glyphs = normaliseGlyphs(style.glyph);
  if (state.editor) state.editor.undo = [];
  showGlyphCount();
  if (style.face && state.faces.some((f) => f.name === style.face)) chooseFace(style.face, false);
  showAlign();
}

function showAlign() {
  const centred = $("align").value === "center";
  $("center-hint").hidden = !centred;
  // Centring places the glyphs whatever the baseline; a shift still moves them after it.
  document.querySelectorAll('input[data-field="baseline"]').forEach((input) => { input.disabled = centred; });
}

// ---- faces ----

async function loadFaces() {
  const faces = await api("/api/faces");
  state.faces = faces.faces;
  state.total = faces.total;
  $("face-total").textContent = faces.total;
  fillFacePick($("fallback-pick"));
  const own = $("glyph-face");
  const chosen = own.value;
  fillFacePick(own);
  own.value = chosen;
  renderFaces();
}

function renderFontFiles() {
  const list = $("font-files");
  list.innerHTML = "";
  for (const path of state.fontFiles) {
    const li = document.createElement("li");
    li.textContent = path.split(/[\\/]/).pop();
    li.title = path;
    list.append(li);
  }
}

async function addFontFile(file) {
  if (!file) return;
  if (file.size > 50 * 1024 * 1024) return notice("字体文件不能超过 50 MB");
  notice("正在读入 " + file.name + "…", "info");
  try {
    const data = await new Promise((resolve, reject) => {
      const reader = new FileReader();
      reader.onload = () => resolve(String(reader.result).split(",")[1] || "");
      reader.onerror = () => reject(new Error("读不到这个文件"));
      reader.readAsDataURL(file);
    });
    const before = new Set(state.faces.map((f) => f.name));
    const result = await api("/api/font-file", { name: file.name, data });
    if (!state.fontFiles.includes(result.path)) state.fontFiles.push(result.path);
    renderFontFiles();
    await loadFaces();
    const added = state.faces.filter((f) => !before.has(f.name)).map((f) => f.name);
    notice("已添加 " + file.name + (added.length ? "，其中的字体：" + added.join("、") : ""), "info");
    if (added.length) chooseFace(added[0], true);
  } catch (e) {
    notice(e.message);
  }
  $("font-file").value = "";
}

function renderFaces() {
  const filter = $("face-search").value.trim().toLowerCase();
  const list = $("face-list");
  list.innerHTML = "";
  for (const face of state.faces) {
    const names = [face.name, ...(face.others || [])];
    if (filter && !names.some((n) => n.toLowerCase().includes(filter))) continue;
    const li = document.createElement("li");
    li.className = "face-item" + (face.name === state.face ? " on" : "");
    li.dataset.name = face.name;
    li.title = face.name;
    const name = document.createElement("span");
    name.textContent = face.name;
    if (face.others && face.others.length) {
      const others = document.createElement("small");
      others.textContent = face.others.join("、");
      name.append(others);
      li.title = [face.name, ...face.others].join(" / ");
    }
    const count = document.createElement("span");
    count.className = "count" + (face.drawable === state.total ? " full" : "");
    count.textContent = face.drawable;
    li.append(name, count);
    li.addEventListener("click", () => chooseFace(face.name, true));
    list.append(li);
  }
  if (!list.children.length) list.innerHTML = '<li class="loading">没有找到这个名字的字体</li>';
}

function chooseFace(name, redraw) {
  state.face = name;
  $("face-name").textContent = name;
  $("face-name").classList.remove("unchosen");
  renderFaces();
  if (redraw !== false) changed();
}

function addFallback(name) {
  if (!name || fallbacks().includes(name)) return;
  const li = document.createElement("li");
  li.dataset.name = name;
  li.append(name);
  const remove = document.createElement("button");
  remove.textContent = "×";
  remove.title = "去掉";
  remove.addEventListener("click", () => { li.remove(); changed(); });
  li.append(remove);
  $("fallback-list").append(li);
}

// ---- preview ----

function texts() {
  const own = $("own-text").value;
  return own.trim() ? [...state.lines, own] : [...state.lines];
}

let previewTimer = 0;
let findingsTimer = 0;
let heartbeatTimer = 0;
let aheadTimer = 0;
function changed() {
  if (state.stopped) return;
  clearTimeout(aheadTimer);
  document.body.dataset.fitReady = "";
  clearTimeout(previewTimer);
  previewTimer = setTimeout(redraw, 15); // keys held down ask once per frame or so
  clearTimeout(findingsTimer);
  findingsTimer = setTimeout(loadFindings, 700);
  // What the findings show is of the style before the change until they
  // are checked again: they do not claim "no problems" meanwhile.
  if (state.findings && !state.findingsStale) {
    state.findingsStale = true;
    $("findings-state").textContent = "样式改了，马上重新检查…";
    renderFindings();
  }
}

async function redraw() {
  if (!checkFields()) {
    // Findings shown now would be of values no longer in the fields.
    state.findingsError = "有数值要先改正";
    renderFindings();
    return;
  }
  if (!state.face) return;
  const seq = ++state.previewSeq;
  const asked = performance.now();
  const textList = texts();
  const textKey = JSON.stringify(textList);
  const withStock = state.stockText !== textKey;
  try {
    const style = styleJson();
    const result = await api("/api/preview", { face: state.face, style, texts: textList, width: LAYOUT_WIDTH,
                                               withStock });
    if (seq !== state.previewSeq) return; // a newer one is on its way
    if (withStock) {
      state.stock = {};
      for (const size of SIZES) state.stock[size] = result.sizes[size].stock;
      state.stockText = textKey;
    }
    state.preview = result;
    state.previewError = null;
    notice("", "error", "preview");
    drawPreview();
    showUnknown(result.unknown || []);
    const shown = performance.now() - asked;
    $("preview-time").textContent = "服务器 " + result.ms.toFixed(1) + " 毫秒 · 到重画 " + shown.toFixed(0) + " 毫秒";
    document.body.dataset.previewMs = shown.toFixed(1);
    // What the picture shows, for whoever waits for a particular redraw.
    document.body.dataset.previewStyle = JSON.stringify(style);
    document.body.dataset.previewRevision = String(Number(document.body.dataset.previewRevision || 0) + 1);
    if (state.inspected) inspect(state.inspected.size, state.inspected.position);
    renderFindings();
  } catch (e) {
    if (seq !== state.previewSeq) return;
    state.previewError = e.message;
    notice("预览失败：" + e.message, "error", "preview");
    renderFindings();
  }
}

// ---- characters without a cell ----

// Printable ASCII: the game's texts use the full-width forms (Ａ, １, ！).
const isAscii = (c) => c.length === 1 && c.charCodeAt(0) > 0x20 && c.charCodeAt(0) < 0x7f;
const codePoint = (c) => "U+" + c.codePointAt(0).toString(16).toUpperCase().padStart(4, "0");

function showUnknown(characters) {
  const list = $("unknown-list");
  list.innerHTML = "";
  for (const c of characters) {
    const li = document.createElement("li");
    const shown = document.createElement("b");
    shown.textContent = c;
    const code = document.createElement("code");
    code.textContent = codePoint(c);
    const why = document.createElement("span");
    why.textContent = isAscii(c) ? "游戏文字里的字母、数字和标点都用全角（如 Ａ、１、！）"
      : "字典里没有，游戏的编码表里也没有它自己的格子";
    li.dataset.character = c;
    li.append(shown, code, why);
    list.append(li);
  }
  $("unknown").hidden = characters.length === 0;
  $("to-full-width").hidden = !characters.some(isAscii);
}

function toFullWidth() {
  const box = $("own-text");
  box.value = [...box.value].map((c) => (isAscii(c) ? String.fromCharCode(c.charCodeAt(0) + 0xfee0) : c)).join("");
  changed();
}

function levelColour(level) {
  return BAND.map((band, i) => Math.round((band * (15 - level) + INK[i] * level) / 15));
}

// The server lays the texts out as the game does (one cell per character at
// a fixed advance, lines broken at line breaks); each of its lines is cut
// here into lines of `perLine` cells. The blocks of the texts stand one below
// the other.
function layOut(layouts, perLine) {
  const rows = [];
  for (const layout of layouts) {
    const lines = Array.from({ length: layout.rows }, () => []);
    for (const [row, column, position] of layout.cells) lines[row][column] = position < 0 ? { box: true } : { p: position };
    for (const line of lines) {
      const count = Math.max(1, Math.ceil(line.length / perLine));
      for (let k = 0; k < count; ++k) rows.push(line.slice(k * perLine, (k + 1) * perLine));
    }
  }
  return rows;
}

// The cells a preview line has room for, and the zoom they are shown at
// (less than chosen only where not even one cell fits).
function fitToPanel(size) {
  const room = Math.max(40, $("preview-sizes").clientWidth - 24);
  const zoom = Math.min(state.zoom, room / size);
  return { perLine: Math.max(1, Math.floor(room / (size * zoom))), zoom };
}

function drawCells(canvas, rows, size, zoom, cellsOf) {
  const columns = Math.max(1, ...rows.map((r) => r.length));
  const gap = Math.round(size / 3);
  canvas.width = columns * size;
  canvas.height = rows.length * size + (rows.length - 1) * gap;
  canvas.style.width = canvas.width * zoom + "px";
  canvas.style.height = canvas.height * zoom + "px";
  const context = canvas.getContext("2d");
  const image = context.createImageData(canvas.width, canvas.height);
  const put = (x, y, rgb) => {
    const i = (y * canvas.width + x) * 4;
    image.data[i] = rgb[0]; image.data[i + 1] = rgb[1]; image.data[i + 2] = rgb[2]; image.data[i + 3] = 255;
  };
  for (let y = 0; y < canvas.height; ++y) for (let x = 0; x < canvas.width; ++x) put(x, y, BAND);
  // The 16 colours once, not per pixel: a redraw paints some 100,000 pixels.
  const colours = Array.from({ length: 16 }, (_, level) => levelColour(level));
  const places = [];
  rows.forEach((row, r) => {
    for (let column = 0; column < row.length; ++column) {
      const c = row[column];
      const x0 = column * size, y0 = r * (size + gap);
      if (!c) continue; // a space
      if (c.box) {
        // No cell shows this character: an outlined box.
        for (let k = 1; k < size - 1; ++k) {
          put(x0 + k, y0 + 1, BOX); put(x0 + k, y0 + size - 2, BOX);
          put(x0 + 1, y0 + k, BOX); put(x0 + size - 2, y0 + k, BOX);
        }
        continue;
      }
      places.push({ x0, y0, position: c.p });
      const levels = cellsOf(c.p);
      if (!levels) continue;
      for (let y = 0; y < size; ++y) for (let x = 0; x < size; ++x) {
        const level = parseInt(levels[y * size + x], 16);
        if (level) put(x0 + x, y0 + y, colours[level]);
      }
    }
  });
  context.putImageData(image, 0, 0);
  canvas.onclick = (event) => {
    const rect = canvas.getBoundingClientRect();
    const x = (event.clientX - rect.left) / zoom, y = (event.clientY - rect.top) / zoom;
    const hit = places.find((p) => x >= p.x0 && x < p.x0 + size && y >= p.y0 && y < p.y0 + size);
    if (hit) inspect(size, hit.position, true);
  };
}

function drawPreview() {
  const result = state.preview;
  if (!result) return;
  const holder = $("preview-sizes");
  $("preview-empty")?.remove();
  for (const size of SIZES) {
    let block = $("preview-" + size);
    if (!block) {
      block = document.createElement("div");
      block.className = "size-block";
      block.id = "preview-" + size;
      block.innerHTML = `<h3>${size} 像素格子</h3><div class="band"><div class="label">原版 ` +
        "<small>游戏原来的字体：这些编码在原版里是日文字形，所以和新字体的字不同</small></div>" +
        `<canvas id="preview-${size}-stock"></canvas><div class="label">新字体</div>` +
        `<canvas id="preview-${size}-new"></canvas></div>`;
      holder.append(block);
    }
    const fresh = result.sizes[size].new;
    const { perLine, zoom } = fitToPanel(size);
    const rows = layOut(result.layouts, perLine);
    drawCells($(`preview-${size}-stock`), rows, size, zoom, (p) => (state.stock[size] || {})[p]);
    drawCells($(`preview-${size}-new`), rows, size, zoom, (p) => fresh[p] && fresh[p].l);
  }
}

// ---- inspector ----

function drawLevels(canvas, levels, size) {
  canvas.width = size;
  canvas.height = size;
  const context = canvas.getContext("2d");
  const image = context.createImageData(size, size);
  for (let i = 0; i < size * size; ++i) {
    const rgb = levelColour(typeof levels === "string" ? parseInt(levels[i], 16) : levels[i]);
    image.data.set([rgb[0], rgb[1], rgb[2], 255], i * 4);
  }
  context.putImageData(image, 0, 0);
}

// The middle column shows the style's controls or the inspector.
function showPane(name) {
  document.querySelectorAll("#panes button").forEach((b) => b.classList.toggle("on", b.dataset.pane === name));
  $("pane-controls").hidden = name !== "controls";
  $("pane-inspector").hidden = name !== "inspector";
}

// Opens a cell in the inspector: the cell, stock against new, and the
// controls of its character's own table ([glyph."X"] in the style file).
async function inspect(size, position, reveal) {
  state.inspected = { size, position };
  if (reveal) showPane("inspector");
  document.querySelectorAll("#inspect-size button").forEach((b) => b.classList.toggle("on", Number(b.dataset.size) === size));
  // A bad number field is marked where it is; it is not sent.
  if (!checkFields() || !state.face) return;
  try {
    const cell = await api("/api/cell", { face: state.face, style: styleJson(), size, position });
    if (state.inspected.size !== size || state.inspected.position !== position) return; // another one was opened
    drawLevels($("inspect-stock"), cell.stock, size);
    drawLevels($("inspect-new"), cell.new, size);
    const used = new Set(cell.new);
    const notes = [];
    if (cell.kept) notes.push("这一格保留原版字形");
    if (cell.missing) notes.push("字体画不出这个字（画成了缺字方框）");
    if (cell.fallback) notes.push("由后备字体“" + cell.fallback + "”画出");
    if (cell.cut) notes.push("有 " + cell.cut + " 个墨点超出格子被切掉");
    $("inspector-info").textContent = `“${cell.character || "?"}”  游戏码 0x${cell.code}  ·  ${size} 像素格子  ·  ` +
      `用到 ${used.size} 级灰度` + (notes.length ? "  ·  " + notes.join("；") : "");
    $("inspector-info").className = cell.missing || cell.cut ? "message error" : "hint";
    // A character's table changes every cell the dictionary draws it in; a
    // cell the dictionary keeps has only its code, and takes pictures only.
    const key = cell.character || "0x" + cell.code;
    openGlyph(key, size, cell.new, !cell.character);
    notice("", "error", "inspect");
    document.body.dataset.inspected = key + "@" + size;
  } catch (e) {
    notice(e.message, "error", "inspect");
  }
}

function drawLegend() {
  // The palette is the legend of the 16 levels too.
  const palette = $("palette");
  for (let level = 0; level < 16; ++level) {
    const rgb = levelColour(level);
    const button = document.createElement("button");
    button.style.background = `rgb(${rgb.join(",")})`;
    button.dataset.level = level;
    button.title = "灰度 " + level;
    button.textContent = level;
    if (level >= 7) button.style.color = "#1f2430";
    button.addEventListener("click", () => choosePaint(level));
    palette.append(button);
  }
  choosePaint(15);
}

// ---- one character's own table ----

// state.glyphs: key -> {face?, size: {"20": {"glyph-size", "shift", "image", ...}}, other settings}.
// The page keeps every per-size value under its size, so a control shows
// what that size gets; a setting the page has no control for is kept as it came.
function glyphTable(key) {
  if (!state.glyphs[key]) state.glyphs[key] = { size: {} };
  const glyph = state.glyphs[key];
  glyph.size = glyph.size || {};
  return glyph;
}

function glyphSizeTable(key, size) {
  const glyph = glyphTable(key);
  glyph.size[size] = glyph.size[size] || {};
  return glyph.size[size];
}

// Sets or (undefined) removes one value of a character's table; an emptied table goes.
function setGlyphValue(key, size, name, value) {
  const glyph = glyphTable(key);
  const table = size === undefined ? glyph : glyphSizeTable(key, size);
  if (value === undefined || value === null) delete table[name];
  else table[name] = value;
  for (const s of Object.keys(glyph.size)) if (!Object.keys(glyph.size[s]).length) delete glyph.size[s];
  if (!Object.keys(glyph.size).length) delete glyph.size;
  if (!Object.keys(glyph).length) delete state.glyphs[key];
  else glyph.size = glyph.size || {};
  showGlyphCount();
}

// A loaded style's character tables with each per-size value under its
// sizes ({size} in a picture's path made the size's own).
function normaliseGlyphs(glyphs) {
  const out = {};
  for (const [key, given] of Object.entries(glyphs || {})) {
    const glyph = { size: {} };
    for (const [name, value] of Object.entries(given)) {
      if (name === "size") continue;
      const s = setting(name);
      if (!s || !s.perSize) { glyph[name] = value; continue; }
      for (const size of SIZES) {
        const own = (glyph.size[size] = glyph.size[size] || {});
        own[name] = name === "image" ? String(value).split("{size}").join(String(size)) : value;
      }
    }
    for (const [size, values] of Object.entries(given.size || {}))
      glyph.size[size] = Object.assign(glyph.size[size] || {}, values);
    out[key] = glyph;
  }
  return out;
}

function glyphsJson() {
  const out = {};
  for (const [key, glyph] of Object.entries(state.glyphs)) {
    const copy = Object.assign({}, glyph);
    const sizes = {};
    for (const [size, values] of Object.entries(glyph.size || {})) if (Object.keys(values).length) sizes[size] = values;
    if (Object.keys(sizes).length) copy.size = sizes; else delete copy.size;
    if (Object.keys(copy).length) out[key] = copy;
  }
  return out;
}

function showGlyphCount() {
  const count = Object.keys(state.glyphs).length;
  $("pane-glyph").textContent = count ? "·" + count : "";
  $("pane-glyph").title = count ? count + " 个字有自己的设置" : "";
}

// The inspector's controls for one character's table, and its cell in the pixel editor.
function openGlyph(key, size, levels, codeOnly) {
  const editor = state.editor;
  const same = editor && editor.key === key && editor.size === size;
  $("glyph-own").hidden = false;
  $("glyph-key").textContent = codeOnly ? key : "“" + key + "”";
  $("glyph-scope").textContent = codeOnly ? "只有这个游戏码的格子；字典保留原版字形，只能手绘（三种格子都要画）"
    : "字典里画成这个字的每一格";
  document.querySelectorAll(".glyph-drawn-only").forEach((e) => e.classList.toggle("off", codeOnly));
  document.querySelectorAll(".glyph-drawn-only input, .glyph-drawn-only select, .glyph-drawn-only button")
    .forEach((c) => { c.disabled = codeOnly || state.stopped; });
  document.querySelectorAll(".glyph-size-now").forEach((e) => { e.textContent = size; });
  const glyph = state.glyphs[key] || { size: {} };
  const pick = $("glyph-face");
  if (pick.options.length <= 1) fillFacePick(pick);
  pick.value = glyph.face || "";
  for (const input of document.querySelectorAll("[data-glyph-field]")) {
    const value = ((glyph.size || {})[input.dataset.size] || {})[input.dataset.glyphField];
    if (document.activeElement === input) continue; // being typed in
    const shown = Array.isArray(value) ? value[input.dataset.part] : value;
    input.value = shown === undefined || (Array.isArray(value) && shown === 0) ? "" : shown;
    input.classList.remove("bad");
  }
  const image = ((glyph.size || {})[size] || {}).image;
  $("draw-state").textContent = image ? "用手绘的图：" + image : "按字体画出（画一笔就改用手绘）";
  $("draw-remove").disabled = !image || state.stopped;
  if (!same) state.editor = { key, size, levels: [], undo: [] };
  // Mid-stroke, the stroke's own pixels stay.
  if (!state.painting) state.editor.levels = [...levels].map((d) => parseInt(d, 16));
  $("draw-undo").disabled = !state.editor.undo.length || state.stopped;
  drawEditor();
}

function fillFacePick(pick) {
  pick.length = 1;
  for (const face of state.faces) {
    if (!face.drawable) continue;
    const option = document.createElement("option");
    option.value = option.textContent = face.name;
    pick.append(option);
  }
}

// A glyph field's value (undefined: not given) or why it does not do.
function glyphFieldsChanged() {
  const editor = state.editor;
  if (!editor) return;
  for (const size of SIZES) {
    const height = document.querySelector(`[data-glyph-field="glyph-size"][data-size="${size}"]`);
    const value = numberOf(height);
    setGlyphValue(editor.key, size, "glyph-size", value === null || Number.isNaN(value) ? undefined : value);
    const parts = [0, 1].map((part) => numberOf(
      document.querySelector(`[data-glyph-field="shift"][data-size="${size}"][data-part="${part}"]`)) || 0);
    setGlyphValue(editor.key, size, "shift", parts.some((p) => p !== 0) ? parts : undefined);
  }
  changed();
}

function nudge(dx, dy) {
  const editor = state.editor;
  if (!editor) return;
  const shift = ((glyphTable(editor.key).size || {})[editor.size] || {}).shift || [0, 0];
  const moved = [shift[0] + dx, shift[1] + dy];
  setGlyphValue(editor.key, editor.size, "shift", moved[0] || moved[1] ? moved : undefined);
  for (const part of [0, 1])
    document.querySelector(`[data-glyph-field="shift"][data-size="${editor.size}"][data-part="${part}"]`).value =
      moved[part] || "";
  changed();
}

// ---- the pixel editor ----

function choosePaint(level) {
  state.paint = level;
  document.querySelectorAll("#palette button").forEach((b) => b.classList.toggle("on", Number(b.dataset.level) === level));
}

function drawEditor() {
  const editor = state.editor;
  if (!editor || editor.levels.length !== editor.size * editor.size) return;
  drawLevels($("pixel-editor"), editor.levels, editor.size);
}

function editorPixel(event) {
  const canvas = $("pixel-editor");
  const rect = canvas.getBoundingClientRect();
  const size = state.editor.size;
  const x = Math.floor(((event.clientX - rect.left) / rect.width) * size);
  const y = Math.floor(((event.clientY - rect.top) / rect.height) * size);
  return x >= 0 && y >= 0 && x < size && y < size ? y * size + x : -1;
}

function paintAt(event) {
  const i = editorPixel(event);
  if (i < 0 || state.editor.levels[i] === state.paint) return;
  state.editor.levels[i] = state.paint;
  drawEditor();
}

function startStroke(event) {
  const editor = state.editor;
  if (!editor || state.stopped || !editor.levels.length) return;
  event.preventDefault();
  $("pixel-editor").setPointerCapture?.(event.pointerId);
  const image = (((state.glyphs[editor.key] || {}).size || {})[editor.size] || {}).image;
  editor.undo.push({ levels: editor.levels.slice(), image });
  if (editor.undo.length > 50) editor.undo.shift();
  state.painting = true;
  $("draw-undo").disabled = false;
  paintAt(event);
}

async function endStroke() {
  if (!state.painting) return;
  state.painting = false;
  const editor = state.editor;
  await storeDrawing(editor.key, editor.size, { levels: editor.levels.map((l) => l.toString(16)).join("") });
}

// The drawn cell stored by the studio; the character's table then refers to it.
async function storeDrawing(key, size, body) {
  try {
    const result = await api("/api/glyph/image", Object.assign({ glyph: key, size }, body));
    setGlyphValue(key, size, "image", result.image);
    if (state.editor && state.editor.key === key && state.editor.size === size)
      state.editor.levels = [...result.levels].map((d) => parseInt(d, 16));
    drawEditor();
    changed();
    return true;
  } catch (e) {
    notice(e.message, "error", "draw");
    return false;
  }
}

async function undoStroke() {
  const editor = state.editor;
  const last = editor && editor.undo.pop();
  if (!last) return;
  $("draw-undo").disabled = !editor.undo.length;
  editor.levels = last.levels;
  drawEditor();
  if (last.image === undefined) {
    // Before the first stroke the cell was drawn by the face.
    setGlyphValue(editor.key, editor.size, "image", undefined);
    changed();
  } else {
    await storeDrawing(editor.key, editor.size, { levels: last.levels.map((l) => l.toString(16)).join("") });
  }
}

async function uploadDrawing(file) {
  const editor = state.editor;
  if (!file || !editor) return;
  if (file.size > 100 * 1024) return notice("图片太大：要一张和格子一样大的小 PNG");
  const data = await new Promise((resolve) => {
    const reader = new FileReader();
    reader.onload = () => resolve(String(reader.result).split(",")[1] || "");
    reader.onerror = () => resolve("");
    reader.readAsDataURL(file);
  });
  const image = (((state.glyphs[editor.key] || {}).size || {})[editor.size] || {}).image;
  const before = { levels: editor.levels.slice(), image };
  if (await storeDrawing(editor.key, editor.size, { png: data })) editor.undo.push(before);
  $("draw-undo").disabled = !editor.undo.length;
  $("draw-upload").value = "";
}

// ---- findings ----

async function loadFindings() {
  if (!state.face) return;
  const seq = ++state.findingsSeq;
  if (!checkFields()) {
    state.findingsError = "有数值要先改正";
    return renderFindings();
  }
  $("findings-state").textContent = "正在检查全部字…";
  try {
    const result = await api("/api/findings", { face: state.face, style: styleJson() });
    if (seq !== state.findingsSeq) return;
    state.findings = result;
    state.findingsStale = false;
    state.findingsError = null;
    document.body.dataset.findingsRevision = String(Number(document.body.dataset.findingsRevision || 0) + 1);
    $("findings-state").textContent = "";
    clearTimeout(aheadTimer);
    aheadTimer = setTimeout(fitAhead, 300);
  } catch (e) {
    if (seq !== state.findingsSeq) return;
    state.findingsError = e.message;
    $("findings-state").textContent = "";
  }
  renderFindings();
}

const TABS = ["missing", "fallback", "cut"];

// Each tab lists its findings at all three cell sizes; the counts are per
// size. No list says "no problems" while a request failed or another tab
// has entries.
function renderFindings() {
  const f = state.findings;
  const list = $("findings-list");
  const failed = state.findingsError || state.previewError;
  if (!f || state.findingsError) {
    for (const tab of TABS) $("count-" + tab).textContent = "?";
    $("findings-sizes").textContent = "";
    list.innerHTML = "";
    if (failed) {
      const span = document.createElement("span");
      span.className = "failed";
      span.textContent = "检查没有完成：" + failed;
      list.append(span);
    }
    return;
  }
  // Counted and listed per character, as the fit's notice and the command
  // line count them: a character the game has at two codes is one entry
  // that names both.
  const byCharacter = (size, found) => {
    const seen = new Map();
    for (const item of found) {
      const key = item.t || "0x" + item.code;
      const had = seen.get(key);
      if (had) had.codes.push(item.code);
      else seen.set(key, Object.assign({ size, codes: [item.code] }, item));
    }
    return [...seen.values()];
  };
  const perSize = {};
  for (const size of SIZES) {
    perSize[size] = {};
    for (const tab of TABS) perSize[size][tab] = byCharacter(size, f.sizes[size][tab]);
  }
  const items = {};
  for (const tab of TABS) {
    items[tab] = SIZES.flatMap((size) => perSize[size][tab]);
    $("count-" + tab).textContent = items[tab].length;
  }
  $("findings-sizes").textContent = SIZES.map((size) => `${size} 像素格子：画不出 ${perSize[size].missing.length}` +
    ` · 后备 ${perSize[size].fallback.length} · 切边 ${perSize[size].cut.length}`).join("　");
  const shown = items[state.tab];
  list.innerHTML = "";
  if (!shown.length) {
    const others = TABS.filter((t) => t !== state.tab).reduce((n, t) => n + items[t].length, 0);
    const span = document.createElement("span");
    span.className = failed ? "failed" : others || state.findingsStale ? "none" : "empty";
    span.textContent = failed ? "预览请求失败，结果不完整：" + failed
      : state.findingsStale ? "样式改了，马上重新检查…"
      : others ? `这一类没有；其他两类共有 ${others} 个` : "没有问题 ✓";
    list.append(span);
    return;
  }
  for (const item of shown.slice(0, 600)) {
    const button = document.createElement("button");
    button.textContent = item.t || "?";
    const note = document.createElement("small");
    note.textContent = item.size + (state.tab === "fallback" ? " " + item.face : state.tab === "missing" ? " 0x" + item.code : "");
    button.append(note);
    button.title = `游戏码 ${item.codes.map((c) => "0x" + c).join("、")} · ${item.size} 像素格子` +
      (item.px ? `，切掉 ${item.px} 个墨点` : "");
    button.addEventListener("click", () => inspect(item.size, item.p, true));
    list.append(button);
  }
}

// ---- fit, build, style files ----

// While the player looks at a face, the studio measures the fit for it, so
// that the button answers at once. It gives way to every other request and
// is asked again the next time the page is idle.
async function fitAhead() {
  if (state.stopped || !state.face || state.fitting || !checkFields()) return;
  const body = { face: state.face, style: styleJson() };
  const key = JSON.stringify(body);
  // Measured before (a style loaded or changed back): the studio still has it.
  if (state.fitReady === key) {
    document.body.dataset.fitReady = "1";
    return;
  }
  try {
    const result = await api("/api/fit", { ...body, ahead: true });
    if (result.ready) state.fitReady = key;
    // It gave way to another request: asked again once the page is idle.
    else aheadTimer = setTimeout(fitAhead, 300);
    document.body.dataset.fitReady = result.ready && JSON.stringify({ face: state.face, style: styleJson() }) === key
      ? "1" : "";
  } catch (e) {
    // Only a preparation: the button itself says what went wrong.
  }
}

async function fit() {
  if (!state.face) return notice("请先选择字体");
  const button = $("fit");
  button.disabled = true;
  button.textContent = "正在适配…";
  state.fitting = true;
  const clicked = performance.now();
  try {
    const result = await api("/api/fit", { face: state.face, style: styleJson() });
    document.body.dataset.fitMs = (performance.now() - clicked).toFixed(1);
    // The fit places the glyphs: what placed them before goes back to its default.
    for (const s of state.settings.filter((s) => s.places)) {
      for (const size of SIZES) setControl(s, controls(s.name, size), undefined, size);
    }
    for (const size of SIZES) controls("glyph-size", size)[0].value = result.sizes[size].glyphSize;
    $("align").value = "center";
    showAlign();
    // The fit lets a few glyphs lose ink at the cell's edge for a larger
    // em height: it says how many.
    const lost = SIZES.reduce((n, s) => n + result.sizes[s].cut, 0);
    notice("已为每种格子选出字身高度：" + SIZES.map((s) => s + " 像素格子 → " + result.sizes[s].glyphSize).join("，") +
           "。为此允许 " + lost + " 个字切掉一点边（" +
           SIZES.map((s) => s + "：" + result.sizes[s].cut).join("，") + "），见“发现的问题”。", "info", "fit");
    changed();
  } catch (e) {
    notice(e.message);
  } finally {
    state.fitting = false;
    button.disabled = state.stopped;
    button.textContent = "自动适配大小";
  }
}

async function build() {
  if (!state.face) return notice("请先选择字体");
  const message = $("build-message");
  message.className = "message";
  message.textContent = "";
  try {
    await api("/api/build", { face: state.face, style: styleJson(), name: $("build-name").value.trim() });
  } catch (e) {
    message.className = "message error";
    message.textContent = e.message;
    return;
  }
  $("build").disabled = true;
  const poll = async () => {
    const status = await api("/api/build");
    $("build-progress").value = status.progress;
    message.textContent = status.phase + "…";
    if (status.running || !status.finished) return setTimeout(poll, 150);
    $("build").disabled = state.stopped;
    message.className = "message " + (status.ok ? "ok" : "error");
    message.textContent = status.message;
    if (status.ok) {
      const table = document.createElement("table");
      table.innerHTML = "<tr><th>格子</th><th>重画</th><th>保留</th><th>画不出</th><th>后备字体</th><th>切边</th></tr>" +
        SIZES.map((s) => { const r = status.sizes[s]; return `<tr><td>${s} 像素格子</td><td>${r.rewritten}</td><td>${r.kept}</td>` +
          `<td>${r.missing}</td><td>${r.fallback}</td><td>${r.cut}</td></tr>`; }).join("");
      message.append(table);
      document.body.dataset.built = status.name;
    }
  };
  poll().catch((e) => { $("build").disabled = false; message.className = "message error"; message.textContent = e.message; });
}

async function saveStyle() {
  if (!state.face) return notice("请先选择字体");
  try {
    const result = await api("/api/style/save", { face: state.face, style: styleJson(), name: $("style-name").value.trim() });
    notice("样式已保存为 " + result.saved + "（在上面的文件夹里）", "info");
  } catch (e) {
    notice(e.message);
  }
}

async function loadStyle(file) {
  if (!file) return;
  if (file.size > 200 * 1024) return notice("样式文件太大");
  try {
    const result = await api("/api/style/load", { text: await file.text() });
    const style = result.style;
    const problems = [];
    const usable = [];
    // The style's font files become usable, and their faces are listed; one
    // that is missing or gives no font is named and left out. Its face may
    // come from those files: no face is asked for exactly yet.
    for (const path of style["font-file"] || []) {
      try {
        await api("/api/preview", { face: style.face || "x", style: { "font-file": [path] }, texts: [],
          allowSubstitute: true });
        usable.push(path);
      } catch (e) {
        if (state.stopped) throw e;
        problems.push("字体文件“" + path + "”用不了（" + e.message + "）");
      }
    }
    if (usable.length) await loadFaces();
    style["font-file"] = usable;
    const faceFound = !style.face || state.faces.some((f) => f.name === style.face);
    if (!faceFound) problems.push("字体“" + style.face + "”没有安装");
    applyStyle(style);
    if (!faceFound) {
      // Left visibly unchosen: the old face would not be the style's.
      state.face = null;
      $("face-name").textContent = "未选择字体（样式里的“" + style.face + "”没有安装）";
      $("face-name").classList.add("unchosen");
      renderFaces();
    }
    if (problems.length) {
      notice("已载入样式 " + file.name + " 的其他设置，但" + problems.join("；") + "。请在左边选一款字体。", "error", "style");
    } else {
      notice("已载入样式 " + file.name, "info", "style");
    }
    if (style.fit && state.face) await fit(); else changed();
  } catch (e) {
    notice(e.message);
  }
  $("style-load").value = "";
}

// ---- start ----

async function start() {
  drawLegend();
  $("face-search").addEventListener("input", renderFaces);
  document.querySelectorAll("[data-setting]").forEach((input) => input.addEventListener("input", () => {
    if (input.type === "range") $(input.id + "-value").textContent = input.value;
    changed();
  }));
  // A choice changed by script or by keyboard may tell "change" alone.
  document.querySelectorAll("select[data-setting]").forEach((select) => select.addEventListener("change", changed));
  $("align").addEventListener("change", showAlign);
  document.querySelectorAll("#pane-controls table.sizes input").forEach((input) => input.addEventListener("input", changed));
  document.querySelectorAll("#pane-controls table.sizes select").forEach((select) => select.addEventListener("change", changed));
  // The inspector: its panes, its sizes, and a character's own table.
  document.querySelectorAll("#panes button").forEach((b) => b.addEventListener("click", () => showPane(b.dataset.pane)));
  document.querySelectorAll("#inspect-size button").forEach((b) => b.addEventListener("click", () => {
    if (state.inspected) inspect(Number(b.dataset.size), state.inspected.position);
  }));
  document.querySelectorAll("[data-glyph-field]").forEach((input) => input.addEventListener("input", glyphFieldsChanged));
  $("glyph-face").addEventListener("change", () => {
    if (!state.editor) return;
    setGlyphValue(state.editor.key, undefined, "face", $("glyph-face").value || undefined);
    changed();
  });
  document.querySelectorAll(".nudge button").forEach((b) => b.addEventListener("click", () =>
    nudge(Number(b.dataset.dx), Number(b.dataset.dy))));
  $("glyph-clear").addEventListener("click", () => {
    if (!state.editor) return;
    delete state.glyphs[state.editor.key];
    state.editor.undo = [];
    showGlyphCount();
    document.querySelectorAll("[data-glyph-field]").forEach((input) => { input.value = ""; });
    changed();
  });
  const editor = $("pixel-editor");
  editor.addEventListener("pointerdown", startStroke);
  editor.addEventListener("pointermove", (e) => { if (state.painting) paintAt(e); });
  editor.addEventListener("pointerup", endStroke);
  editor.addEventListener("pointercancel", endStroke);
  editor.addEventListener("lostpointercapture", endStroke);
  $("draw-undo").addEventListener("click", undoStroke);
  $("draw-upload").addEventListener("change", (e) => uploadDrawing(e.target.files[0]));
  $("draw-remove").addEventListener("click", () => {
    if (!state.editor) return;
    const image = (((state.glyphs[state.editor.key] || {}).size || {})[state.editor.size] || {}).image;
    state.editor.undo.push({ levels: state.editor.levels.slice(), image });
    setGlyphValue(state.editor.key, state.editor.size, "image", undefined);
    changed();
  });
  $("own-text").addEventListener("input", changed);
  $("fit").addEventListener("click", fit);
  $("reset").addEventListener("click", () => { applyStyle({}); changed(); });
  $("fallback-add").addEventListener("click", () => { addFallback($("fallback-pick").value); changed(); });
  $("build").addEventListener("click", build);
  $("style-save").addEventListener("click", saveStyle);
  $("style-load").addEventListener("change", (e) => loadStyle(e.target.files[0]));
  $("font-file").addEventListener("change", (e) => addFontFile(e.target.files[0]));
  $("quit").addEventListener("click", async () => {
    if (!confirm("停止工作室？页面将不再可用。")) return;
    await api("/api/quit", {}).catch(() => {});
    enterStopped();
  });
  $("to-full-width").addEventListener("click", toFullWidth);
  // The preview wraps to its panel: a new width redraws it.
  let lastWidth = 0;
  new ResizeObserver(() => {
    const width = $("preview-sizes").clientWidth;
    if (width !== lastWidth) { lastWidth = width; drawPreview(); }
  }).observe($("preview-sizes"));
  document.querySelectorAll("#zoom button").forEach((button) => button.addEventListener("click", () => {
    state.zoom = Number(button.dataset.zoom);
    document.querySelectorAll("#zoom button").forEach((b) => b.classList.toggle("on", b === button));
    drawPreview();
  }));
  document.querySelectorAll("#findings-tabs button").forEach((button) => button.addEventListener("click", () => {
    state.tab = button.dataset.tab;
    document.querySelectorAll("#findings-tabs button").forEach((b) => b.classList.toggle("on", b === button));
    renderFindings();
  }));
  // The studio ends some minutes after it last heard from a page.
  heartbeatTimer = setInterval(() => api("/api/heartbeat", {}).catch(() => {}), 15000);

  try {
    const info = await api("/api/state");
    $("folder").textContent = info.folder;
    $("build-name").value = info.defaultName;
    $("style-name").value = info.defaultStyleName;
    state.lines = info.previewLines;
    state.settings = info.settings;
    applyTable();
    await loadFaces();
    document.body.dataset.ready = "1";
  } catch (e) {
    if (!state.stopped) notice(e.message);
  }
}

start();
