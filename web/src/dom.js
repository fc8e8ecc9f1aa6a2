'use strict';
// Building page elements from plain data: element(tag, attributes, ...children).

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name.startsWith('on')) node.addEventListener(name.slice(2), value);
    else if (name === 'dataset') Object.assign(node.dataset, value);
    else node.setAttribute(name, value === true ? '' : value);
  }
  for (const child of children.flat()) {
    if (child === undefined || child === null || child === false) continue;
    node.append(child instanceof Node ? child : String(child));
  }
  return node;
}

function replaceChildren(parent, ...children) {
  parent.replaceChildren(...children.flat().filter((child) => child !== undefined && child !== null && child !== false));
}

// Reads a file chosen in a file input or dropped on `target`.
function acceptFiles(input, target, onFile) {
  input.addEventListener('change', () => {
    if (input.files.length) onFile(input.files[0]);
    input.value = '';
  });
  target.addEventListener('dragover', (event) => {
    event.preventDefault();
    target.classList.add('dragging');
  });
  target.addEventListener('dragleave', () => target.classList.remove('dragging'));
  target.addEventListener('drop', (event) => {
    event.preventDefault();
    target.classList.remove('dragging');
    if (event.dataTransfer.files.length) onFile(event.dataTransfer.files[0]);
  });
}

module.exports = { element, replaceChildren, acceptFiles };
