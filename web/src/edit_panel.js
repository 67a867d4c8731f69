// The command panel in the page: the open rollouts the editor's state lists, each drawn from its
// dialog template's controls in template order, and every change a user makes turned into the
// panel step the `ui` command would run for it:
//
//   spinner            set "TITLE/ID" VALUE         (the spinner and its linked edit are one field)
//   button, check box, radio button, custom button   press "TITLE/ID"
//   drop-down list, list box, list view row          choose "TITLE/ID" INDEX
//   edit                type "TITLE/ID" "TEXT"
//   a rollout's title   open "TITLE" / close "TITLE" (rolls it down or up)
//
// Layout: a template lists a caption before the controls it names, so each caption starts a row
// and the controls after it join that row; lists take a row of their own. Colour swatches are
// shown but not changed here: no panel step sets a colour.

const ICON_FOLDER = 'icons/';

// A step word: double quotes keep the blanks of titles and captions inside one word.
export function word(text) {
  return `"${text}"`;
}

function controlRef(title, control) {
  return word(`${title}/${control.id}`);
}

function iconFile(icon) {
  // The module names its icons ":/add" or ":/add.png".
  const name = icon.replace(/^:\//, '');
  return ICON_FOLDER + (name.endsWith('.png') ? name : `${name}.png`);
}

function element(tag, props = {}, ...children) {
  const e = document.createElement(tag);
  Object.assign(e, props);
  e.append(...children);
  return e;
}

function drawControl(title, c, send, linkedEdits) {
  const ref = controlRef(title, c);
  const common = (e) => {
    e.disabled = !c.enabled;
    e.dataset.ref = `${title}/${c.id}`;
    if (c.tooltip) e.title = c.tooltip;
    return e;
  };
  switch (c.kind) {
    case 'label':
      return c.id === -1 ? null : element('span', { className: 'label', textContent: c.text || '' });
    case 'group':
      return null;
    case 'edit': {
      if (linkedEdits.has(c.id)) return null;
      const input = common(element('input', { type: 'text', value: c.text || '' }));
      input.addEventListener('change', () => {
        if (input.value.includes('"')) {
          input.setCustomValidity('A text cannot hold a double quote');
          input.reportValidity();
          return;
        }
        send([`type ${ref} ${word(input.value)}`]);
      });
      return input;
    }
    case 'spinner':
    case 'slider': {
      const input = common(element('input', { type: 'number' }));
      input.value = c.integer ? String(Math.round(c.value)) : String(Number(c.value.toFixed(4)));
      input.step = c.integer ? '1' : 'any';
      if (c.low > -1e29) input.min = String(c.low);
      if (c.high < 1e29) input.max = String(c.high);
      input.addEventListener('change', () => {
        if (input.value === '' || !Number.isFinite(Number(input.value))) return;
        send([`set ${ref} ${input.value}`]);
      });
      return input;
    }
    case 'checkbox':
    case 'radio': {
      const box = common(element('input', { type: c.kind, checked: !!c.checked }));
      box.addEventListener('click', (event) => {
        event.preventDefault();  // the state comes back from the host
        send([`press ${ref}`]);
      });
      return element('label', {}, box, c.text || '');
    }
    case 'button': {
      const button = common(element('button', { type: 'button' }));
      if (c.icon) button.append(element('img', { src: iconFile(c.icon), alt: c.text || c.icon }));
      if (c.text) button.append(c.text);
      if (!c.icon && !c.text) button.append(String(c.id));
      if (c.checked) button.classList.add('down');
      button.addEventListener('click', () => send([`press ${ref}`]));
      return button;
    }
    case 'dropdown':
    case 'listbox': {
      const select = common(element('select'));
      if (c.kind === 'listbox') select.size = Math.min(Math.max(c.items.length, 2), 6);
      c.items.forEach((text, i) => select.append(element('option', { value: String(i), textContent: text })));
      select.selectedIndex = c.selected;
      select.addEventListener('change', () => send([`choose ${ref} ${select.value}`]));
      return select;
    }
    case 'listview': {
      const table = common(element('table', { className: 'list' }));
      if (c.columns.length) {
        table.append(element('tr', {}, ...c.columns.map((t) => element('th', { textContent: t }))));
      }
      c.rows.forEach((cells, i) => {
        const tr = element('tr', { className: 'row-item' },
          ...cells.map((t) => element('td', { textContent: t })));
        tr.dataset.row = String(i);
        if (i === c.selected) tr.classList.add('selected');
        if (c.enabled) tr.addEventListener('click', () => send([`choose ${ref} ${i}`]));
        table.append(tr);
      });
      return table;
    }
    case 'colorswatch':
      return common(element('span', { className: 'swatch', title: 'colour (shown only)' }));
    default:
      return null;
  }
}

// Draws the rollouts into `root`. `send(steps)` carries a change to the host.
export function drawPanel(root, rollouts, send) {
  root.replaceChildren();
  for (const rollout of rollouts) {
    const box = element('details', { className: 'rollout', open: rollout.open });
    box.dataset.title = rollout.title;
    const summary = element('summary', { textContent: rollout.title });
    summary.addEventListener('click', (event) => {
      event.preventDefault();
      send([`${rollout.open ? 'close' : 'open'} ${word(rollout.title)}`]);
    });
    box.append(summary);
    const body = element('div', { className: 'body' });
    const linkedEdits = new Set(rollout.controls.filter((c) => c.edit !== undefined).map((c) => c.edit));
    let row = null;
    const newRow = () => {
      row = element('div', { className: 'row' });
      body.append(row);
      return row;
    };
    for (const c of rollout.controls) {
      if (c.kind === 'label' && c.id === -1) {
        newRow().append(element('span', { className: 'caption', textContent: c.text || '' }));
        continue;
      }
      const e = drawControl(rollout.title, c, send, linkedEdits);
      if (!e) continue;
      if (c.kind === 'listview' || c.kind === 'listbox') {
        newRow().append(e);
        row = null;
      } else {
        (row || newRow()).append(e);
      }
    }
    box.append(body);
    root.append(box);
  }
}
