// SPDX-License-Identifier: MIT

'use strict';
// The catalogue: the list comes as JSON in #dozedozovo-data; only the rows on
// screen are in the document. Names reach the page through textContent only.
(() => {
  const byId = (id) => document.getElementById(id);
  const doc = JSON.parse(byId('dozedozovo-data').textContent);
  const folders = doc.folders;
  const nFolders = folders.length;

  // Files in list order, with their folder, bytes and duration (NaN: unknown).
  let n = 0;
  for (const folder of folders) n += folder.files.length;
  const file = new Array(n);
  const folderOf = new Int32Array(n);
  const bytesOf = new Float64Array(n);
  const durationOf = new Float64Array(n);
  const filesIn = new Int32Array(nFolders);
  for (let f = 0, i = 0; f < nFolders; ++f) {
    filesIn[f] = folders[f].files.length;
    for (const entry of folders[f].files) {
      file[i] = entry;
      folderOf[i] = f;
      bytesOf[i] = entry.bytes;
      durationOf[i] = entry.duration_ms ?? NaN;
      ++i;
    }
  }
  const tags = n > 0 && 'duration_ms' in file[0];

  // --- Text ---------------------------------------------------------------
  const decimals = new Intl.NumberFormat(undefined, {
    minimumFractionDigits: 2, maximumFractionDigits: 2,
  });
  const MB = 1048576;
  const sizeText = (bytes) => decimals.format(bytes / MB) + ' MB';
  const totalSizeText = (bytes) => {
    if (bytes >= 1024 * 1024 * MB) return decimals.format(bytes / (1024 * 1024 * MB)) + ' TB';
    if (bytes >= 1024 * MB) return decimals.format(bytes / (1024 * MB)) + ' GB';
    return sizeText(bytes);
  };
  const two = (value) => String(value).padStart(2, '0');
  const clock = (ms) => {
    const s = Math.round(ms / 1000);
    const h = Math.floor(s / 3600);
    const m = Math.floor(s / 60) % 60;
    return (h ? h + ':' + two(m) : String(m)) + ':' + two(s % 60);
  };
  // A total of durations; with files of unknown duration it is a least value.
  const durationText = (ms, unknown) => (unknown ? '\u2265 ' : '') + clock(ms);
  const filesText = (count) => count + (count === 1 ? ' file' : ' files');
  const filesOfText = (count, all) => (count === all ? filesText(all) : count + ' of ' + filesText(all));

  // Lower case without accents: Björk, BJORK and bjork are one.
  const fold = (text) => {
    const lower = text.toLowerCase();
    return /[^\x00-\x7f]/.test(lower) ? lower.normalize('NFD').replace(/\p{M}+/gu, '') : lower;
  };
  const rootPrefix = doc.root.endsWith('/') ? doc.root : doc.root + '/';
  const below = (path) => (path.startsWith(rootPrefix) ? path.slice(rootPrefix.length) : '');

  // --- Columns ------------------------------------------------------------
  const text = (key) => (i) => file[i][key];
  const COLUMNS = [
    {id: 'name', label: 'Name', value: text('name')},
    {id: 'folder', label: 'Folder', flat: true, value: (i) => folders[folderOf[i]].path},
    {id: 'title', label: 'Title', tags: true, value: text('title')},
    {id: 'artist', label: 'Artist', tags: true, value: text('artist')},
    {id: 'album', label: 'Album', tags: true, value: text('album')},
    {id: 'track', label: 'Track', tags: true, width: '5.5rem', number: String, value: text('track')},
    {id: 'year', label: 'Year', tags: true, width: '5rem', number: String, value: text('year')},
    {id: 'duration', label: 'Duration', tags: true, width: '7rem', number: clock,
     value: text('duration_ms')},
    {id: 'size', label: 'Size', width: '8rem', number: sizeText, value: text('bytes')},
  ];

  // --- State --------------------------------------------------------------
  let grouped = true;
  let columns = [];
  let sortColumn = null;
  let sortDirection = 0;  // 1 ascending, -1 descending, 0 the list's order
  let query = '';
  let words = [];
  const folded = new Uint8Array(nFolders);
  let order = new Int32Array(n);  // files in the order shown; grouped: folder by folder
  const matches = new Int32Array(n);
  let matchCount = 0;
  const folderCount = new Int32Array(nFolders);
  const folderBytes = new Float64Array(nFolders);
  const folderDuration = new Float64Array(nFolders);
  const folderUnknown = new Int32Array(nFolders);
  const totals = {bytes: 0, duration: 0, unknown: 0};
  // What the table shows: a file index, or ~f for the heading of folder f.
  const view = new Int32Array(n + nFolders);
  let viewLength = 0;

  // --- Search keys, made once, just after the first rows are drawn ---------
  const fileKey = new Array(n);
  const nameKey = new Array(n);
  const folderKey = new Array(nFolders);
  let keysMade = 0;
  const makeKeys = (upTo) => {
    if (keysMade >= upTo) return;
    if (keysMade === 0) for (let f = 0; f < nFolders; ++f) folderKey[f] = fold(below(folders[f].path));
    for (; keysMade < upTo; ++keysMade) {
      const entry = file[keysMade];
      let key = (nameKey[keysMade] = fold(entry.name));
      if (tags) {
        for (const tag of [entry.artist, entry.album, entry.title]) if (tag) key += '\n' + fold(tag);
      }
      fileKey[keysMade] = key;
    }
    if (keysMade === n) performance.mark('dz-ready');
  };
  // In slices of a few milliseconds, so that a key pressed meanwhile is answered.
  const later = window.scheduler && scheduler.postTask ? (task) => scheduler.postTask(task)
                                                       : (task) => setTimeout(task);
  const makeKeysSoon = () => {
    const until = performance.now() + 8;
    while (keysMade < n && performance.now() < until) makeKeys(Math.min(n, keysMade + 500));
    if (keysMade < n) later(makeKeysSoon);
  };

  // --- Order, filter and view ---------------------------------------------
  // Text compared as folded for search, runs of digits by their value: track
  // 2 before track 10.
  const digit = (c) => c >= 48 && c <= 57;
  const natural = (x, y) => {
    const shorter = Math.min(x.length, y.length);
    let i = 0;
    while (i < shorter && x.charCodeAt(i) === y.charCodeAt(i)) ++i;
    if (i === shorter) return x.length - y.length;
    let run = i;
    while (run > 0 && digit(x.charCodeAt(run - 1))) --run;
    if (digit(x.charCodeAt(run)) && digit(y.charCodeAt(run))) {
      let zx = run;
      let zy = run;
      while (x.charCodeAt(zx) === 48) ++zx;
      while (y.charCodeAt(zy) === 48) ++zy;
      let ex = zx;
      let ey = zy;
      while (digit(x.charCodeAt(ex))) ++ex;
      while (digit(y.charCodeAt(ey))) ++ey;
      if (ex - zx !== ey - zy) return ex - zx - (ey - zy);
    }
    return x.charCodeAt(i) - y.charCodeAt(i);
  };
  // The values a column sorts by: numbers (NaN: unknown), or folded text ('': unknown).
  const sortValues = (column) => {
    if (column.keys) return column.keys;
    if (column.id === 'name') {
      makeKeys(n);
      return nameKey;
    }
    const keys = column.number ? new Float64Array(n) : new Array(n);
    for (let i = 0; i < n; ++i) {
      const value = column.value(i);
      keys[i] = column.number ? value ?? NaN : value ? fold(value) : '';
    }
    return (column.keys = keys);
  };
  // The files in the column's ascending order, unknown values last and equal
  // ones in the list's order; made once a column.
  const ascending = (column) => {
    if (column.ascending) return column.ascending;
    const values = sortValues(column);
    const compare = column.number ? (x, y) => x - y : natural;
    const known = column.number ? (x) => x === x : (x) => x !== '';
    const ids = Array.from({length: n}, (_, i) => i);
    ids.sort((a, b) => {
      const x = values[a];
      const y = values[b];
      if (!known(x)) return known(y) ? 1 : a - b;
      if (!known(y)) return -1;
      return compare(x, y) || a - b;
    });
    let knownCount = 0;
    while (knownCount < n && known(values[ids[knownCount]])) ++knownCount;
    column.knownCount = knownCount;
    column.same = (a, b) => compare(values[a], values[b]) === 0;
    return (column.ascending = Int32Array.from(ids));
  };
  // Descending: the runs of equal values of the ascending order in reverse.
  const descending = (column) => {
    const up = ascending(column);
    const down = new Int32Array(n);
    let w = 0;
    for (let end = column.knownCount; end > 0;) {
      let start = end - 1;
      while (start > 0 && column.same(up[start - 1], up[start])) --start;
      for (let j = start; j < end; ++j) down[w++] = up[j];
      end = start;
    }
    down.set(up.subarray(column.knownCount), w);
    return down;
  };
  const sortFiles = () => {
    if (!sortColumn) {
      order = new Int32Array(n);
      for (let i = 0; i < n; ++i) order[i] = i;
    } else {
      order = sortDirection > 0 ? ascending(sortColumn) : descending(sortColumn);
    }
    if (grouped && sortColumn) {  // folder by folder, each in the order just made
      const start = new Int32Array(nFolders + 1);
      for (let f = 0; f < nFolders; ++f) start[f + 1] = start[f] + filesIn[f];
      const byFolder = new Int32Array(n);
      for (let j = 0; j < n; ++j) byFolder[start[folderOf[order[j]]]++] = order[j];
      order = byFolder;
    }
  };

  const filterFiles = () => {
    folderCount.fill(0);
    folderBytes.fill(0);
    folderDuration.fill(0);
    folderUnknown.fill(0);
    totals.bytes = totals.duration = totals.unknown = 0;
    let hits = null;  // per word: which folders' paths hold it
    if (words.length) {
      makeKeys(n);
      hits = words.map((word) => {
        const hit = new Uint8Array(nFolders);
        for (let f = 0; f < nFolders; ++f) hit[f] = folderKey[f].includes(word) ? 1 : 0;
        return hit;
      });
    }
    let count = 0;
    outer: for (let j = 0; j < n; ++j) {
      const i = order[j];
      const f = folderOf[i];
      if (hits) {
        const key = fileKey[i];
        for (let k = 0; k < words.length; ++k) {
          if (!hits[k][f] && !key.includes(words[k])) continue outer;
        }
      }
      matches[count++] = i;
      ++folderCount[f];
      folderBytes[f] += bytesOf[i];
      const duration = durationOf[i];
      if (duration === duration) folderDuration[f] += duration;
      else ++folderUnknown[f];
    }
    matchCount = count;
    for (let f = 0; f < nFolders; ++f) {
      totals.bytes += folderBytes[f];
      totals.duration += folderDuration[f];
      totals.unknown += folderUnknown[f];
    }
  };

  const makeView = () => {
    let v = 0;
    if (!grouped) {
      view.set(matches.subarray(0, matchCount));
      v = matchCount;
    } else {
      for (let j = 0, last = -1; j < matchCount; ++j) {
        const i = matches[j];
        const f = folderOf[i];
        if (f !== last) {
          view[v++] = ~f;
          last = f;
        }
        if (!folded[f]) view[v++] = i;
      }
    }
    viewLength = v;
  };

  // --- The table: only the rows on screen ---------------------------------
  const table = byId('dz-table');
  const tbody = byId('dz-rows');
  const spacer = () => {
    const tr = document.createElement('tr');
    tr.className = 'dz-spacer';
    tr.setAttribute('aria-hidden', 'true');
    tr.append(document.createElement('td'));
    return tr;
  };
  const topSpacer = spacer();
  const bottomSpacer = spacer();
  let rows = new Map();  // view item -> its row
  let spare = [];        // rows that left the screen, for reuse
  let rowHeight = 0;
  let rowChecked = false;
  let firstDrawn = false;

  const makeFileRow = () => {
    const tr = document.createElement('tr');
    for (const column of columns) {
      const cell = document.createElement(column.id === 'name' ? 'th' : 'td');
      if (column.id === 'name') cell.scope = 'row';
      if (column.number) cell.className = 'dz-num';
      tr.append(cell);
    }
    return tr;
  };
  const fillFileRow = (tr, i) => {
    const cells = tr.cells;
    for (let c = 0; c < columns.length; ++c) {
      const column = columns[c];
      const value = column.value(i);
      const shown = value === null ? '' : column.number ? column.number(value) : value;
      cells[c].textContent = shown;
      if (!column.number) cells[c].title = shown;
    }
    if (columns[columns.length - 1].id === 'size') cells[columns.length - 1].title = bytesOf[i] + ' bytes';
  };
  const makeFolderRow = () => {
    const tr = document.createElement('tr');
    tr.className = 'dz-folder';
    const td = document.createElement('td');
    td.colSpan = columns.length;
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'dz-fold';
    const path = document.createElement('span');
    path.className = 'dz-path';
    const stats = document.createElement('span');
    stats.className = 'dz-fstats';
    button.append(path, stats);
    td.append(button);
    tr.append(td);
    return tr;
  };
  const folderStats = (f) => {
    let out = filesOfText(folderCount[f], filesIn[f]) + ' \u00b7 ' + totalSizeText(folderBytes[f]);
    if (tags) out += ' \u00b7 ' + durationText(folderDuration[f], folderUnknown[f]);
    return out;
  };
  const fillFolderRow = (tr, f) => {
    const button = tr.firstChild.firstChild;
    button.setAttribute('aria-expanded', folded[f] ? 'false' : 'true');
    button.title = (folded[f] ? 'Unfold ' : 'Fold ') + folders[f].path;
    button.firstChild.textContent = folders[f].path;
    button.lastChild.textContent = folderStats(f);
  };

  // Draws the rows on screen and a few beyond, keeping the rows that stay.
  const draw = () => {
    drawPending = false;
    if (!rowHeight) measure();
    const listTop = tbody.getBoundingClientRect().top;
    const overscan = 8;
    const first = Math.max(0, Math.min(viewLength, Math.floor(-listTop / rowHeight) - overscan));
    const end = Math.max(first, Math.min(viewLength,
        Math.ceil((window.innerHeight - listTop) / rowHeight) + overscan));
    const next = new Map();
    for (let k = first; k < end; ++k) {
      const item = view[k];
      const kept = rows.get(item);
      if (kept) {
        rows.delete(item);
        next.set(item, kept);
      }
    }
    for (const tr of rows.values()) {
      tr.remove();
      spare.push(tr);
    }
    let cursor = topSpacer.nextSibling;
    for (let k = first; k < end; ++k) {
      const item = view[k];
      let tr = next.get(item);
      if (!tr) {
        const isFolder = item < 0;
        const at = spare.findIndex((row) => (row.className === 'dz-folder') === isFolder);
        tr = at >= 0 ? spare.splice(at, 1)[0] : isFolder ? makeFolderRow() : makeFileRow();
        if (!isFolder) fillFileRow(tr, item);
        next.set(item, tr);
      }
      if (item < 0) fillFolderRow(tr, ~item);
      tr.setAttribute('aria-rowindex', String(k + 2));
      if (tr !== cursor) tbody.insertBefore(tr, cursor);
      else cursor = tr.nextSibling;
    }
    if (spare.length > 64) spare = spare.slice(-64);
    rows = next;
    topSpacer.firstChild.style.height = first * rowHeight + 'px';
    bottomSpacer.firstChild.style.height = (viewLength - end) * rowHeight + 'px';
    // Rows may come out a little higher or lower than measured (zoom, fonts):
    // once after each measure, the rows drawn tell.
    if (!rowChecked && end - first >= 2) {
      rowChecked = true;
      const drawn = (bottomSpacer.getBoundingClientRect().top -
                     topSpacer.getBoundingClientRect().bottom) / (end - first);
      if (Math.abs(drawn - rowHeight) > 0.01) {
        rowHeight = drawn;
        schedule();
      }
    }
    if (!firstDrawn) {
      firstDrawn = true;
      requestAnimationFrame(() => setTimeout(() => {
        performance.mark('dz-rows-drawn');
        makeKeysSoon();
      }));
    }
  };
  let drawPending = false;
  const schedule = () => {
    if (!drawPending) {
      drawPending = true;
      requestAnimationFrame(draw);
    }
  };
  const measure = () => {
    const probe = makeFileRow();
    probe.cells[0].textContent = 'Mg';
    tbody.append(probe);
    rowHeight = probe.getBoundingClientRect().height || 28;
    rowChecked = false;
    probe.remove();
  };
  // Empties the table, for new columns.
  const clearRows = () => {
    for (const tr of rows.values()) tr.remove();
    rows = new Map();
    spare = [];
  };

  // --- Header, status ------------------------------------------------------
  const head = byId('dz-head');
  const cols = byId('dz-cols');
  const makeHeader = () => {
    columns = COLUMNS.filter((c) => (!c.tags || tags) && (!c.flat || !grouped));
    if (!columns.includes(sortColumn)) {
      sortColumn = null;
      sortDirection = 0;
    }
    head.textContent = '';
    cols.textContent = '';
    for (const column of columns) {
      const col = document.createElement('col');
      if (column.width) col.style.width = column.width;
      cols.append(col);
      const th = document.createElement('th');
      th.scope = 'col';
      if (column.number) th.className = 'dz-num';
      const button = document.createElement('button');
      button.type = 'button';
      button.className = 'dz-sort';
      button.textContent = column.label;
      button.addEventListener('click', () => sortBy(column));
      th.append(button);
      head.append(th);
      column.th = th;
    }
    table.style.setProperty('--table-min', tags ? (grouped ? '52rem' : '62rem') : grouped ? '20rem' : '30rem');
    table.caption.textContent = grouped ? 'MP3 files, grouped by folder' : 'MP3 files';
    topSpacer.firstChild.colSpan = bottomSpacer.firstChild.colSpan = columns.length;
    markSort();
    clearRows();
  };
  const markSort = () => {
    for (const column of columns) {
      const state = column === sortColumn && sortDirection ? sortDirection > 0 ? 'ascending' : 'descending' : null;
      if (state) column.th.setAttribute('aria-sort', state);
      else column.th.removeAttribute('aria-sort');
      const next = column !== sortColumn ? 'ascending' : sortDirection > 0 ? 'descending' : 'the list\'s order';
      column.th.firstChild.title = 'Sort by ' + column.label.toLowerCase() + ': ' + next;
    }
  };

  const status = () => {
    byId('dz-count').textContent = String(matchCount);
    byId('dz-count-text').textContent = matchCount === n ? (n === 1 ? 'file' : 'files') : 'of ' + filesText(n);
    byId('dz-size').textContent = totalSizeText(totals.bytes);
    byId('dz-duration').textContent = tags ? durationText(totals.duration, totals.unknown) : '';
    const empty = byId('dz-empty');
    empty.hidden = matchCount > 0;
    empty.textContent = n === 0 ? 'This list holds no MP3 files.' : 'No file matches \u201c' + query + '\u201d.';
    table.setAttribute('aria-rowcount', String(viewLength + 1));
  };

  // Shows the view from the top of the list when the list has been scrolled.
  const toListTop = () => {
    const top = table.getBoundingClientRect().top;
    if (top < 0) window.scrollBy(0, top);
  };
  const refresh = (how) => {
    if (how.columns) makeHeader();
    if (how.order) sortFiles();
    if (how.filter) filterFiles();
    makeView();
    status();
    if (how.top) toListTop();
    schedule();
  };

  // --- What the reader does ------------------------------------------------
  const sortBy = (column) => {
    if (column !== sortColumn) {
      sortColumn = column;
      sortDirection = 1;
    } else if (sortDirection > 0) {
      sortDirection = -1;
    } else {
      sortColumn = null;
      sortDirection = 0;
    }
    markSort();
    refresh({order: true, filter: true, top: true});
    keepInAddress();
  };

  const search = byId('dz-search');
  const setQuery = (text) => {
    query = text;
    words = [...new Set(fold(text).split(/\s+/).filter(Boolean))];
  };
  search.addEventListener('input', () => {
    setQuery(search.value);
    refresh({filter: true, top: true});
    keepInAddress();
  });

  // The search and the sort in the address (#q=...&sort=...), so that a link opens the same view.
  let addressTimer = 0;
  const address = () => {
    const params = new URLSearchParams();
    if (query) params.set('q', query);
    if (sortColumn) params.set('sort', (sortDirection < 0 ? '-' : '') + sortColumn.id);
    const fragment = params.toString();
    return fragment ? '#' + fragment : '';
  };
  const keepInAddress = () => {
    clearTimeout(addressTimer);
    addressTimer = setTimeout(() => {
      const fragment = address();
      if (fragment === location.hash) return;
      try {
        history.replaceState(history.state, '', fragment || location.href.split('#')[0]);
      } catch (e) {
        location.replace(fragment || '#');
      }
    }, 250);
  };
  const fromAddress = () => {
    const params = new URLSearchParams(location.hash.slice(1));
    const q = params.get('q') ?? '';
    const sort = params.get('sort') ?? '';
    const column = columns.find((c) => c.id === sort.replace(/^-/, '')) ?? null;
    const how = {};
    if (q !== query) {
      search.value = q;
      setQuery(q);
      how.filter = true;
    }
    const direction = column ? (sort.startsWith('-') ? -1 : 1) : 0;
    if (column !== sortColumn || direction !== sortDirection) {
      sortColumn = column;
      sortDirection = direction;
      markSort();
      how.order = how.filter = true;
    }
    return how;
  };
  window.addEventListener('hashchange', () => {
    const how = fromAddress();
    if (how.filter) refresh(how);
  });

  byId('dz-group').addEventListener('change', (event) => {
    grouped = event.target.checked;
    refresh({columns: true, order: true, filter: true, top: true});
  });
  const foldAll = (value) => {
    folded.fill(value);
    refresh({top: true});
  };
  byId('dz-fold-all').addEventListener('click', () => foldAll(1));
  byId('dz-unfold-all').addEventListener('click', () => foldAll(0));

  // Folder headings: Enter or Space folds and unfolds, the arrow keys move
  // between headings (Left folds, Right unfolds), Home and End go to the ends.
  const focusItem = (k) => {
    const headHeight = byId('dz-head').getBoundingClientRect().height;
    const listTop = tbody.getBoundingClientRect().top;
    const top = listTop + k * rowHeight;
    if (top < headHeight) window.scrollBy(0, top - headHeight);
    else if (top + rowHeight > window.innerHeight) window.scrollBy(0, top + rowHeight - window.innerHeight);
    draw();
    const tr = rows.get(view[k]);
    if (tr) tr.querySelector('button').focus({preventScroll: true});
  };
  const headingNear = (from, step) => {
    for (let k = from; k >= 0 && k < viewLength; k += step) if (view[k] < 0) return k;
    return -1;
  };
  const toggle = (f, value) => {
    folded[f] = value;
    refresh({});
  };
  tbody.addEventListener('click', (event) => {
    const button = event.target.closest('.dz-fold');
    if (!button) return;
    const f = ~view[Number(button.closest('tr').getAttribute('aria-rowindex')) - 2];
    toggle(f, folded[f] ? 0 : 1);
  });
  tbody.addEventListener('keydown', (event) => {
    const button = event.target.closest('.dz-fold');
    if (!button || event.altKey || event.ctrlKey || event.metaKey) return;
    const k = Number(button.closest('tr').getAttribute('aria-rowindex')) - 2;
    const f = ~view[k];
    let to = -1;
    switch (event.key) {
      case 'ArrowDown': to = headingNear(k + 1, 1); break;
      case 'ArrowUp': to = headingNear(k - 1, -1); break;
      case 'Home': to = headingNear(0, 1); break;
      case 'End': to = headingNear(viewLength - 1, -1); break;
      case 'ArrowLeft': toggle(f, 1); break;
      case 'ArrowRight': toggle(f, 0); break;
      default: return;
    }
    event.preventDefault();
    if (to >= 0) focusItem(to);
  });
  document.addEventListener('keydown', (event) => {
    const target = event.target;
    if (event.key === '/' && !event.ctrlKey && !event.altKey && !event.metaKey &&
        !target.matches('input[type=search], input[type=text], textarea, [contenteditable]')) {
      event.preventDefault();
      search.focus();
      search.select();
    }
  });

  // --- Printing: every matching row, not only those on screen -------------
  const printBox = byId('dz-print');
  const layOutForPrint = () => {
    const out = document.createElement('table');
    const widths = cols.cloneNode(true);  // fixed widths: no cell measured to lay out the table
    widths.removeAttribute('id');
    out.append(widths);
    const headRow = out.createTHead().insertRow();
    for (const column of columns) {
      const th = document.createElement('th');
      th.scope = 'col';
      if (column.number) th.className = 'dz-num';
      th.textContent = column.label;
      headRow.append(th);
    }
    const body = out.createTBody();
    const model = makeFileRow();
    for (let j = 0, last = -1; j < matchCount; ++j) {
      const i = matches[j];
      const f = folderOf[i];
      if (grouped && f !== last) {
        last = f;
        const tr = document.createElement('tr');
        tr.className = 'dz-folder';
        const td = document.createElement('td');
        td.colSpan = columns.length;
        td.textContent = folders[f].path + ' \u2014 ' + folderStats(f);
        tr.append(td);
        body.append(tr);
      }
      const tr = model.cloneNode(true);
      for (let c = 0; c < columns.length; ++c) {
        const value = columns[c].value(i);
        tr.cells[c].textContent = value === null ? '' : columns[c].number ? columns[c].number(value) : value;
      }
      body.append(tr);
    }
    printBox.replaceChildren(out);
    printBox.hidden = false;
  };
  window.addEventListener('beforeprint', layOutForPrint);
  window.addEventListener('afterprint', () => {
    printBox.replaceChildren();
    printBox.hidden = true;
  });
  byId('dz-print-all').addEventListener('click', () => window.print());

  // --- Start ---------------------------------------------------------------
  byId('dz-root').textContent = doc.root;
  document.title = 'MP3 catalogue: ' + doc.root;
  byId('dz-search-help').textContent = 'Every word must match the name' +
      (tags ? ', the artist, album or title' : '') + ' or the folder; case and accents do not matter.';
  for (const id of ['dz-tools', 'dz-status']) byId(id).hidden = false;
  tbody.append(topSpacer, bottomSpacer);
  makeHeader();
  const start = fromAddress();
  refresh({order: true, filter: true, ...start});
  window.addEventListener('scroll', schedule, {passive: true});
  window.addEventListener('resize', () => {
    rowHeight = 0;
    schedule();
  });
})();
