// The record store's source of clients when a test checks credentials: one key and secret,
// given as PRAXILO_LRS_KEY and PRAXILO_LRS_SECRET, are known; anything else is no client.
'use strict';
const http = require('http');

const expected = 'Basic ' +
    Buffer.from(`${process.env.PRAXILO_LRS_KEY}:${process.env.PRAXILO_LRS_SECRET}`).toString('base64');
const client = {
    _id: '58fe13e34effd3c26a7fc4b7',
    title: 'Praxilo test seat',
    authority: {objectType: 'Agent', mbox: 'mailto:seat@example.org'},
    isTrusted: true,
    lrs_id: '58fe13e34effd3c26a7fc4b7',
    organisation: '58fe13e34effd3c26a7fc4b6',
    scopes: ['all'],
};

http.createServer((request, response) => {
    const known = request.headers.authorization === expected;
    response.writeHead(known ? 200 : 404, {'Content-Type': 'application/json'});
    response.end(known ? JSON.stringify(client) : '{}');
}).listen(Number(process.env.PRAXILO_KEYS_PORT), '127.0.0.1');
