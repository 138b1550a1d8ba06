// The viewer's one page: the gauges drawn live, their controls, the events.
#pragma once

namespace panel {

inline const char* ViewerPage = R"PAGE(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>panelhost view</title>
<style>
  body { font: 14px sans-serif; background: #26282c; color: #ddd; margin: 16px; }
  h2 { font-size: 15px; margin: 12px 0 6px; color: #fff; }
  #gauges { display: flex; gap: 16px; align-items: flex-start; flex-wrap: wrap; }
  .gauge { background: #1b1c1f; padding: 8px; border-radius: 6px; }
  .gauge img { display: block; image-rendering: pixelated; }
  .gauge .texts { font: 12px monospace; margin-top: 6px; color: #bbb; }
  .panel { display: flex; gap: 24px; flex-wrap: wrap; margin-top: 12px; }
  .box { background: #1b1c1f; padding: 10px; border-radius: 6px; min-width: 260px; }
  label { display: block; margin: 4px 0; }
  input[type=range] { width: 200px; vertical-align: middle; }
  #events, #messages { font: 12px monospace; max-height: 220px; overflow-y: auto; }
  #cursor { font: 12px monospace; }
  button { margin: 2px; }
</style>
</head>
<body>
<div>
  zoom <select id="zoom"><option>1</option><option selected>2</option><option>3</option></select>
  <label style="display:inline"><input type="checkbox" id="areas"> mouse areas</label>
  <a href="/api/snapshot.png" download="panel.png"><button id="snapshot">snapshot</button></a>
  <span id="cursor">cursor: none</span>
</div>
<div id="gauges"></div>
<div class="panel">
  <div class="box"><h2>Variables</h2><div id="variables"></div></div>
  <div class="box"><h2>Power bus</h2>
    <label><input type="checkbox" id="bus1" checked> condition 1</label>
    <label><input type="checkbox" id="bus2" checked> condition 2</label>
    <label>initMark <input id="busmark" size="6" value="4321"></label>
  </div>
  <div class="box"><h2>Key events, newest first</h2><div id="events"></div>
    <h2>Messages</h2><div id="messages"></div></div>
</div>
<script>
const controls = {
  airspeed_knots: {kind: 'range', min: 0, max: 260, step: 1},
  fuel_quantity_1: {kind: 'range', min: 0, max: 5000000, step: 10000},
  fuel_quantity_2: {kind: 'range', min: 0, max: 5000000, step: 10000},
  nav_deviation: {kind: 'range', min: -128, max: 128, step: 1},
  nav_obs: {kind: 'range', min: 0, max: 359, step: 1},
  nav_radial: {kind: 'range', min: 0, max: 65520, step: 182},
  com_active: {kind: 'frequency'}, nav_active: {kind: 'frequency'},
  nav_flags: {kind: 'bits', bits: [[8, 'no signal'], [0x80, 'localizer']]},
  nav_to_from: {kind: 'choice', choices: [[0, 'neither'], [1, 'TO'], [2, 'FR']]},
};
const post = (path, data) => fetch(path, {method: 'POST', body: new URLSearchParams(data)});
const zoom = () => Number(document.getElementById('zoom').value);
let state = null, built = '';

// 118.05 <-> 0x1805: four packed digits without the leading 1.
const toFrequency = code => { const h = (code & 0xFFFF).toString(16).padStart(4, '0'); return '1' + h.slice(0, 2) + '.' + h.slice(2); };
const fromFrequency = text => { const m = /^1(\d\d)\.(\d\d)$/.exec(text.trim()); return m ? parseInt(m[1] + m[2], 16) : null; };

function buildGauges() {
  const key = state.gauges.map(g => g.name + g.loads).join();
  if (key === built) return;
  built = key;
  const holder = document.getElementById('gauges');
  holder.innerHTML = '';
  for (const g of state.gauges) {
    const div = document.createElement('div');
    div.className = 'gauge';
    div.innerHTML = `<div>${g.name} <button data-kill="${g.index}">kill</button>` +
      `<button data-start="${g.index}">initialise</button></div>` +
      `<img id="gauge-${g.index}" data-index="${g.index}"><div class="texts" id="texts-${g.index}"></div>`;
    holder.appendChild(div);
    const img = div.querySelector('img');
    const where = e => ({gauge: g.index, x: Math.floor(e.offsetX / zoom()), y: Math.floor(e.offsetY / zoom())});
    img.addEventListener('click', e => post('/api/click', {...where(e), button: 'primary'}));
    img.addEventListener('contextmenu', e => { e.preventDefault(); post('/api/click', {...where(e), button: 'secondary'}); });
    img.addEventListener('mousemove', async e => {
      const p = where(e);
      const c = await (await fetch(`/api/cursor?gauge=${p.gauge}&x=${p.x}&y=${p.y}`)).json();
      const shapes = {1: 'e-resize', 2: 'w-resize', 5: 'pointer'};
      img.style.cursor = shapes[c.cursor] || 'default';
      document.getElementById('cursor').textContent = `cursor: ${c.cursor < 0 ? 'none' : c.cursor} (area ${c.area})`;
    });
    div.querySelector('[data-kill]').onclick = () => post('/api/kill', {gauge: g.index});
    div.querySelector('[data-start]').onclick = () => post('/api/start', {gauge: g.index});
  }
}

function buildVariables() {
  const holder = document.getElementById('variables');
  for (const v of state.variables) {
    let row = document.getElementById('row-' + v.name);
    const c = controls[v.name] || {kind: 'number'};
    if (!row) {
      row = document.createElement('label');
      row.id = 'row-' + v.name;
      const set = value => post('/api/set', {name: v.name, value});
      if (c.kind === 'range') {
        row.innerHTML = `${v.name} <input type="range" id="var-${v.name}" min="${c.min}" max="${c.max}" step="${c.step}"> <span></span>`;
        row.querySelector('input').addEventListener('input', e => set(e.target.value));
      } else if (c.kind === 'bits') {
        row.innerHTML = v.name + ' ' + c.bits.map(([bit, text]) => `<label style="display:inline"><input type="checkbox" data-bit="${bit}">${text}</label>`).join(' ');
        row.querySelectorAll('input').forEach(box => box.addEventListener('change', () => {
          let value = 0; row.querySelectorAll('input').forEach(b => { if (b.checked) value |= Number(b.dataset.bit); }); set(value);
        }));
      } else if (c.kind === 'choice') {
        row.innerHTML = `${v.name} <select id="var-${v.name}">` + c.choices.map(([n, t]) => `<option value="${n}">${t}</option>`).join('') + '</select>';
        row.querySelector('select').addEventListener('change', e => set(e.target.value));
      } else {
        row.innerHTML = `${v.name} <input id="var-${v.name}" size="8"> <button>set</button>`;
        row.querySelector('button').onclick = () => {
          const text = row.querySelector('input').value;
          const value = c.kind === 'frequency' ? fromFrequency(text) : Number(text);
          if (value !== null && !Number.isNaN(value)) set(value);
        };
      }
      holder.appendChild(row);
    }
    const focused = document.activeElement && row.contains(document.activeElement);
    if (!focused) {
      if (c.kind === 'range') { row.querySelector('input').value = v.value; row.querySelector('span').textContent = v.value; }
      else if (c.kind === 'bits') row.querySelectorAll('input').forEach(b => b.checked = (v.value & Number(b.dataset.bit)) !== 0);
      else if (c.kind === 'choice') row.querySelector('select').value = v.value;
      else row.querySelector('input').value = c.kind === 'frequency' ? toFrequency(v.value) : v.value;
    }
  }
}

async function refresh() {
  try {
    state = await (await fetch('/api/state')).json();
    buildGauges();
    buildVariables();
    for (const g of state.gauges) {
      document.getElementById('texts-' + g.index).textContent =
        Object.entries(g.texts).map(([k, t]) => `${k}="${t}"`).join('  ') + (g.state !== 'running' ? '  (' + g.state + ')' : '');
    }
    document.getElementById('events').innerHTML = state.events.map(e =>
      `<div>${e.label} ${e.value} (0x${e.value.toString(16)})${e.changed ? ' → ' + e.changed : ''}</div>`).join('');
    document.getElementById('messages').innerHTML = state.messages.map(m => `<div>${m}</div>`).join('');
  } catch (e) {}
  setTimeout(refresh, 300);
}

function redraw() {
  if (state) for (const g of state.gauges) {
    const img = document.getElementById('gauge-' + g.index);
    if (!img) continue;
    img.width = g.width * zoom(); img.height = g.height * zoom();
    const next = new Image();
    next.onload = () => { img.src = next.src; };
    next.src = `/api/gauge.png?gauge=${g.index}&areas=${document.getElementById('areas').checked ? 1 : 0}&t=${Date.now()}`;
  }
  setTimeout(redraw, 100);
}

const sendBus = () => post('/api/bus', {c1: document.getElementById('bus1').checked ? 1 : 0,
  c2: document.getElementById('bus2').checked ? 1 : 0, mark: document.getElementById('busmark').value});
['bus1', 'bus2', 'busmark'].forEach(id => document.getElementById(id).addEventListener('change', sendBus));
refresh();
redraw();
</script>
</body>
</html>
)PAGE";

}  // namespace panel
